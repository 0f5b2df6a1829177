#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sink_capture.h"
#include "tree_fixture.h"
#include "treekeep.h"

namespace {

using ValueAccess = TreeTest;

TEST_F(ValueAccess, IndexBoundsOfRealGetters)
{
    make_real(1, "sw", {10.0, 20.0, 30.0});
    double value = -1.0;
    EXPECT_EQ(P_getreal(1, "sw", &value, 0), P_INDEX);
    EXPECT_EQ(P_getreal(1, "sw", &value, 4), P_INDEX);
    EXPECT_EQ(value, -1.0);
    EXPECT_EQ(P_getreal(1, "sw", &value, 3), P_OK);
    EXPECT_EQ(value, 30.0);
    EXPECT_EQ(P_getreal(7, "sw", &value, 1), P_NOTREE);
    EXPECT_EQ(P_getreal(1, "nosuch", &value, 1), P_NOVAR);
    EXPECT_EQ(value, 30.0);
}

TEST_F(ValueAccess, ListShorterThanItsCountGivesMissingValue)
{
    varInfo *v = make_real(1, "d1", {1.0});
    v->size = 3;  // a record whose count promises more than its list holds
    double value = 5.0;
    EXPECT_EQ(P_getreal(1, "d1", &value, 2), P_NOVALUE);
    EXPECT_EQ(value, 0.0);

    varInfo *s = make_string(1, "dm", {"nny"});
    s->size = 2;
    char buf[8] = "junk";
    EXPECT_EQ(P_getstring(1, "dm", buf, 2, sizeof buf), P_NOVALUE);
    EXPECT_STREQ(buf, "");
}

TEST_F(ValueAccess, StringGetterCutsAndTerminates)
{
    make_string(1, "file", {"0123456789"});
    char buf[16];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(P_getstring(1, "file", buf, 1, 5), P_OK);
    EXPECT_STREQ(buf, "0123");
    EXPECT_EQ(buf[5], 'x');  // nothing written beyond maxlen

    for (int maxlen : {1, 0, -4}) {
        std::memset(buf, 'x', sizeof buf);
        EXPECT_EQ(P_getstring(1, "file", buf, 1, maxlen), P_OK);
        EXPECT_STREQ(buf, "");
    }

    std::memset(buf, 'x', sizeof buf);
    make_string(1, "dm", {"ny"});
    EXPECT_EQ(P_getstring(1, "dm", buf, 1, 8), P_OK);
    EXPECT_EQ(std::string(buf, 8), std::string("ny\0\0\0\0\0\0", 8));  // zero-filled
}

TEST_F(ValueAccess, KindMismatchesLeaveTheOutputAlone)
{
    make_real(1, "sw", {1.0});
    make_string(1, "dm", {"nny"});
    char buf[8] = "keep";
    EXPECT_EQ(P_getstring(1, "sw", buf, 1, 8), P_STEP);
    EXPECT_STREQ(buf, "keep");
    double value = 2.5;
    EXPECT_EQ(P_getreal(1, "dm", &value, 1), P_STEP);
    EXPECT_EQ(P_Egetreal(1, "dm", &value, 1), P_INDEX);  // no enumeration entries
    EXPECT_EQ(value, 2.5);

    // The enumeration getter makes no type test on texts, but never reads a
    // real as a text.
    varInfo *v = make_real(1, "gain", {2.0});
    assignEReal(0.0, v, 0);
    EXPECT_EQ(P_Egetstring(1, "gain", buf, 1, 8), P_STEP);
    assignEString("y", make_real(1, "mixed", {1.0}), 0);
    EXPECT_EQ(P_Egetstring(1, "mixed", buf, 1, 8), P_OK);
    EXPECT_STREQ(buf, "y");
}

TEST_F(ValueAccess, GetvalFallsBackToGlobalOnlyForAMissingName)
{
    make_real(0, "sfrq", {400.0});
    make_real(0, "dfrq", {100.0});
    make_real(1, "dfrq", {});
    EXPECT_EQ(P_getval("sfrq"), 400.0);
    EXPECT_EQ(P_getval("dfrq"), 0.0);  // present but empty in tree 1: no fallback
    EXPECT_EQ(P_getval("nosuch"), 0.0);
    make_real(1, "sfrq", {500.0});
    EXPECT_EQ(P_getval("sfrq"), 500.0);
}

TEST_F(ValueAccess, FieldGettersReturnTheFieldItself)
{
    varInfo *v = make_real(1, "nt", {1, 2, 3});
    v->subtype = 7;
    int size = 0;
    EXPECT_EQ(P_getsize(1, "nt", &size), 3);
    EXPECT_EQ(size, 3);
    EXPECT_EQ(P_getsize(1, "nt", nullptr), 3);
    EXPECT_EQ(P_getsubtype(1, "nt"), 7);
    EXPECT_EQ(P_getactive(1, "nt"), 1);
    EXPECT_EQ(P_getactive(1, "none"), P_NOVAR);
    EXPECT_EQ(P_getsize(9, "nt", &size), P_NOTREE);
}

TEST_F(ValueAccess, SettersStoreFieldsAndLimitsInTheirOrder)
{
    varInfo *v = make_real(1, "pw", {1.0});
    EXPECT_EQ(P_setactive(1, "pw", 0), P_OK);
    EXPECT_EQ(P_setprot(1, "pw", 0x12345678), P_OK);
    EXPECT_EQ(P_setgroup(1, "pw", 3), P_OK);
    EXPECT_EQ(P_setdgroup(1, "pw", 2), P_OK);
    EXPECT_EQ(P_setlimits(1, "pw", 10, 1, 0.5), P_OK);
    EXPECT_EQ(v->active, 0);
    EXPECT_EQ(v->prot, 0x12345678);
    EXPECT_EQ(v->group, 3);
    EXPECT_EQ(v->dgroup, 2);
    EXPECT_EQ(v->max, 10);
    EXPECT_EQ(v->min, 1);
    EXPECT_EQ(v->step, 0.5);
    EXPECT_EQ(P_setgroup(1, "none", 3), P_NOVAR);
    EXPECT_EQ(P_setprot(8, "pw", 0), P_NOTREE);

    vInfo info;
    std::memset(&info, 0x55, sizeof info);
    ASSERT_EQ(P_getVarInfo(1, "pw", &info), P_OK);
    EXPECT_EQ(info.active, 0);
    EXPECT_EQ(info.type, T_REAL);
    EXPECT_EQ(info.size, 1);
    EXPECT_EQ(info.prot, 0x12345678);
    EXPECT_EQ(info.max, 10);
    EXPECT_EQ(info.step, 0.5);
}

TEST_F(ValueAccess, ValueSettersFollowTheAssignmentRules)
{
    make_real(1, "sw", {1.0, 2.0});
    EXPECT_EQ(P_setreal(1, "sw", 3.0, 3), P_OK);   // append
    EXPECT_EQ(P_setreal(1, "sw", 9.0, 5), P_NOVALUE);
    EXPECT_EQ(P_setstring(1, "sw", "x", 1), P_NOVALUE);  // kind mismatch
    EXPECT_EQ(P_setreal(1, "none", 1.0, 1), P_NOVAR);
    EXPECT_EQ(P_getsize(1, "none", nullptr), P_NOVAR);  // nothing was created
    int size = 0;
    EXPECT_EQ(P_getsize(1, "sw", &size), 3);
    EXPECT_EQ(P_setstring(1, "sw", "now text", 0), P_OK);  // index 0 retypes
    char buf[16];
    EXPECT_EQ(P_getstring(1, "sw", buf, 1, 16), P_OK);
    EXPECT_STREQ(buf, "now text");
    EXPECT_EQ(P_Esetstring(1, "sw", "a", 0), P_OK);
    EXPECT_EQ(P_Esetstring(1, "sw", "b", 2), P_OK);
    EXPECT_EQ(P_Egetstring(1, "sw", buf, 2, 16), P_OK);
    EXPECT_STREQ(buf, "b");
    EXPECT_EQ(P_Esetreal(1, "sw", 1.0, 3), P_NOVALUE);
}

TEST_F(ValueAccess, LimitsHeldInParminAndParmax)
{
    make_real(4, "parmin", {-1.0, -2.0, -3.0});
    make_real(4, "parmax", {10.0, 20.0, 30.0});
    varInfo *v = make_real(1, "tpwr", {50.0});
    v->prot = P_PROT_LIMITS_INDIRECT;
    v->min = 2.95;  // position 3 after the +0.1 and the cut
    v->max = 1.0;
    double min = 0.0, max = 0.0;
    EXPECT_EQ(P_getmin(1, "tpwr", &min), P_OK);
    EXPECT_EQ(min, -3.0);
    EXPECT_EQ(P_getmax(1, "tpwr", &max), P_OK);
    EXPECT_EQ(max, 10.0);

    v->min = 4.0;
    min = 77.0;
    EXPECT_EQ(P_getmin(1, "tpwr", &min), P_INDEX);
    EXPECT_EQ(min, 77.0);
    v->min = 1e300;  // no position at all
    EXPECT_EQ(P_getmin(1, "tpwr", &min), P_INDEX);

    v->prot = 0;
    v->min = -5.5;
    EXPECT_EQ(P_getmin(1, "tpwr", &min), P_OK);
    EXPECT_EQ(min, -5.5);
    EXPECT_EQ(P_getmax(1, "none", &max), P_NOVAR);
}

TEST_F(ValueAccess, ParinfoReportsOnlyAMissingDescription)
{
    varInfo *v = make_real(1, "ct", {4.0});
    v->active = 0;
    double value = 0.0;
    int active = 9;
    SinkCapture sink;
    EXPECT_EQ(P_getparinfo(1, "ct", &value, &active), 0);
    EXPECT_EQ(value, 4.0);
    EXPECT_EQ(active, 0);
    EXPECT_EQ(P_getparinfo(1, "ct", &value, nullptr), 0);
    EXPECT_EQ(P_getparinfo(1, "none", &value, &active), 1);
    EXPECT_EQ(sink.text(), "");
}

TEST_F(ValueAccess, VarInfoAddrIsTheRecordOrMinusOne)
{
    varInfo *v = make_real(1, "np", {1024});
    EXPECT_EQ(P_getVarInfoAddr(1, "np"), reinterpret_cast<intptr_t>(v));
    EXPECT_EQ(P_getVarInfoAddr(1, "none"), -1);
    EXPECT_EQ(P_getVarInfoAddr(5, "np"), -1);
}

}  // namespace
