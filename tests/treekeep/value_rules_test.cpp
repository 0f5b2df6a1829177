// The rules of new values (treekeep_values.h): each refusal with its code
// and detail, in the words `psenv par set` prints them.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "tree_fixture.h"
#include "treekeep.h"
#include "treekeep_files.h"
#include "treekeep_values.h"

extern "C" int treekeep_values_c11_refusal(int tree, const char *name, const char *value,
                                           char *text, size_t size);

namespace {

constexpr int kTree = VARTREE_PROCESSED;

// The code and detail of P_checkvalues, the limits warning folded into the
// detail's end as " [unchecked]".
struct Outcome {
    int code;
    std::string detail;
};

Outcome check(const char *name, std::vector<const char *> values, int tree = kTree)
{
    char detail[64];
    P_verdict verdict{detail, sizeof detail, 0, 0};
    const int code = P_checkvalues(tree, name, values.data(), values.size(), &verdict);
    std::string text(detail);
    if (verdict.limitsUnchecked != 0)
        text += " [unchecked]";
    return {code, text};
}

void expect(const Outcome &got, int code, const std::string &detail)
{
    EXPECT_EQ(got.code, code);
    EXPECT_EQ(got.detail, detail);
}

using ValueRules = TreeTest;

TEST_F(ValueRules, RealsAreReadWholeFiniteAndWithoutBlanks)
{
    double value = 0.0;
    EXPECT_EQ(P_valuereal("2.5e3", &value), P_REAL_NUMBER);
    EXPECT_EQ(value, 2500.0);
    EXPECT_EQ(P_valuereal("0x10", &value), P_REAL_NUMBER);
    EXPECT_EQ(value, 16.0);
    for (const char *unusable : {"nan", "inf", "-Infinity", "1e999", "1e-999"})
        EXPECT_EQ(P_valuereal(unusable, &value), P_REAL_UNUSABLE) << unusable;
    for (const char *text : {"", " 1", "1 ", "1,5", "abc", "1e", "--1"})
        EXPECT_EQ(P_valuereal(text, &value), P_REAL_NONUMBER) << '"' << text << '"';
    EXPECT_EQ(P_valuereal(nullptr, nullptr), P_REAL_NONUMBER);
    EXPECT_EQ(value, 16.0);  // untouched by every refusal
}

TEST_F(ValueRules, KindLimitsAndStepOfARealParameter)
{
    make_real(kTree, "tpwr", {10.0});
    ASSERT_EQ(P_setlimits(kTree, "tpwr", 63.0, -16.0, 0.5), P_OK);
    expect(check("tpwr", {"12.5", "-16", "63"}), P_OK, "");
    expect(check("tpwr", {"64"}), P_UPPER, "64 > 63");
    expect(check("tpwr", {"1", "-17"}), P_LOWER, "-17 < -16");
    expect(check("tpwr", {"10.25"}), P_STEP, "10.25 is no multiple of 0.5");
    expect(check("tpwr", {"ten"}), P_TYPE, "\"ten\" is not a number");
    expect(check("tpwr", {"nan"}), P_TYPE, "\"nan\" is not a finite number in range");
    expect(check("tpwr", {" 1"}), P_TYPE, "\" 1\" is not a number");

    // No limits unless max > min; no step unless above 0.
    make_real(kTree, "free", {0.0});
    ASSERT_EQ(P_setlimits(kTree, "free", 5.0, 5.0, 0.0), P_OK);
    expect(check("free", {"1e300", "-7.3"}), P_OK, "");
}

TEST_F(ValueRules, StepsAreWholeMultiplesToTheDigitsAFileKeeps)
{
    make_real(kTree, "d1", {0.0});
    ASSERT_EQ(P_setlimits(kTree, "d1", 0.0, 0.0, 0.1), P_OK);
    // 0.3 / 0.1 is 2.9999999999999996 in binary: still a whole multiple.
    expect(check("d1", {"0.3", "0.7", "-1.1", "123456.7"}), P_OK, "");
    expect(check("d1", {"0.35"}), P_STEP, "0.35 is no multiple of 0.1");
}

TEST_F(ValueRules, IndirectLimitsComeFromTheTreesOwnArrays)
{
    varInfo *v = make_real(kTree, "pw", {1.0});
    v->prot = P_PROT_LIMITS_INDIRECT;
    v->min = 2.0;  // positions in parmin/parmax
    v->max = 1.0;
    make_real(kTree, "parmin", {-5.0, 0.5});
    make_real(kTree, "parmax", {100.0, 1.0});
    expect(check("pw", {"50"}), P_OK, "");
    expect(check("pw", {"101"}), P_UPPER, "101 > 100");
    expect(check("pw", {"0.25"}), P_LOWER, "0.25 < 0.5");

    // Without parmax the limits cannot be resolved: told, and not checked.
    P_deleteVar(kTree, "parmax");
    expect(check("pw", {"1e6"}), P_OK, " [unchecked]");
    expect(check("pw", {"x"}), P_TYPE, "\"x\" is not a number [unchecked]");
}

TEST_F(ValueRules, EnumerationsLengthAndWriteProtection)
{
    varInfo *real = make_real(kTree, "nt", {1.0});
    assignEReal(1.0, real, 0);
    assignEReal(16.0, real, 2);
    expect(check("nt", {"16", "1.00000000000001"}), P_OK, "");
    expect(check("nt", {"2"}), P_ENUM, "2 is not one of 1 16");

    varInfo *text = make_string(kTree, "dm", {"nny"});
    assignEString("nny", text, 0);
    assignEString("y\"n", text, 2);
    expect(check("dm", {"y\"n"}), P_OK, "");
    expect(check("dm", {"nnn"}), P_ENUM, "\"nnn\" is not one of \"nny\" \"y\\\"n\"");

    make_string(kTree, "file", {""});
    const std::string longest(P_LONGEST_STRING, 'a');
    const std::string longer = longest + "a";
    expect(check("file", {longest.c_str()}), P_OK, "");
    expect(check("file", {longer.c_str()}), P_STRLEN, "1023 characters, 1022 at most");

    text->prot = 0x0001;
    expect(check("dm", {"nny"}), P_PROT, "");
    expect(check("nosuch", {"1"}), P_NOVAR, "");
    expect(check("dm", {"1"}, 9), P_NOTREE, "");
    EXPECT_EQ(P_checkvalues(kTree, nullptr, nullptr, 0, nullptr), P_VALUE_INVALID);
}

TEST_F(ValueRules, ALongDetailIsCutAndItsWholeLengthTold)
{
    varInfo *real = make_real(kTree, "nt", {1.0});
    assignEReal(1.0, real, 0);
    for (int i = 2; i <= 40; ++i)
        assignEReal(1000.0 + i, real, i);
    const char *values[] = {"7"};
    char small[8];
    P_verdict verdict{small, sizeof small, 0, 0};
    EXPECT_EQ(P_checkvalues(kTree, "nt", values, 1, &verdict), P_ENUM);
    EXPECT_STREQ(small, "7 is no");
    EXPECT_GT(verdict.length, 200u);
    std::vector<char> whole(verdict.length + 1);
    verdict = P_verdict{whole.data(), whole.size(), 0, 0};
    EXPECT_EQ(P_checkvalues(kTree, "nt", values, 1, &verdict), P_ENUM);
    EXPECT_EQ(std::string(whole.data()).size(), verdict.length);
    EXPECT_EQ(std::string(whole.data()).substr(verdict.length - 9), "1039 1040");
}

TEST_F(ValueRules, NewParametersAndTheirRefusals)
{
    const char *numbers[] = {"2", "4"};
    P_newparam real{};
    real.type = T_REAL;
    real.given = P_NEW_MIN | P_NEW_MAX | P_NEW_STEP | P_NEW_GROUP | P_NEW_PROT;
    real.min = 0.0;
    real.max = 4.0;
    real.step = 2.0;
    real.group = 3;
    real.prot = 0x0001;  // write protection does not stop the first values
    ASSERT_EQ(P_createparam(kTree, "gain", numbers, 2, &real, nullptr), P_OK);
    ASSERT_EQ(P_assignvalues(kTree, "gain", numbers, 2), P_OK);
    vInfo info;
    ASSERT_EQ(P_getVarInfo(kTree, "gain", &info), P_OK);
    EXPECT_EQ(info.size, 2);
    EXPECT_EQ(info.group, 3);
    EXPECT_EQ(info.prot, 0x0001);
    double second = 0.0;
    EXPECT_EQ(P_getreal(kTree, "gain", &second, 2), P_OK);
    EXPECT_EQ(second, 4.0);

    char detail[64];
    P_verdict verdict{detail, sizeof detail, 0, 0};
    const char *five[] = {"5"};
    EXPECT_EQ(P_createparam(kTree, "over", five, 1, &real, &verdict), P_UPPER);
    EXPECT_STREQ(detail, "5 > 4");
    EXPECT_EQ(P_createparam(kTree, "$temp", five, 1, &real, &verdict), P_BADNAME);
    EXPECT_STREQ(detail, "names beginning with $ are never saved");
    EXPECT_EQ(P_getVarInfo(kTree, "$temp", &info), P_NOVAR);

    P_newparam text{};
    text.type = T_STRING;
    text.given = P_NEW_MAX;
    const char *words[] = {"a\tb", "c"};
    EXPECT_EQ(P_createparam(kTree, "name", words, 2, &text, &verdict), P_VALUE_STRINGLIMITS);
    EXPECT_STREQ(detail, "\"a\\tb\" ...");
    EXPECT_EQ(P_getVarInfo(kTree, "name", &info), P_NOVAR);
    const std::string longer(P_LONGEST_STRING + 1, 'x');
    const char *overlong[] = {longer.c_str()};
    text.given = 0;
    EXPECT_EQ(P_createparam(kTree, "name", overlong, 1, &text, &verdict), P_STRLEN);
    text.type = 7;
    EXPECT_EQ(P_createparam(kTree, "name", words, 2, &text, &verdict), P_VALUE_INVALID);
    EXPECT_EQ(P_assignvalues(kTree, "gain", words, 1), P_TYPE);
}

TEST_F(ValueRules, SameParametersAsParDiffJudgesThem)
{
    auto pair = [](std::initializer_list<double> a, std::initializer_list<double> b) {
        make_real(VARTREE_PROCESSED, "x", a);
        make_real(VARTREE_SCRATCH, "y", b);
        return P_sameparam(VARTREE_PROCESSED, "x", VARTREE_SCRATCH, "y");
    };
    static constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(pair({1.0, nan}, {1.0, nan}), 1);  // names aside, NaN equals NaN
    EXPECT_EQ(pair({1.0, 2.0}, {1.0}), 0);
    EXPECT_EQ(pair({1.0}, {1.0}), 1);
    for (auto change : {+[](varInfo *v) { v->group = 2; }, +[](varInfo *v) { v->active = 0; },
                        +[](varInfo *v) { v->prot = 4; }, +[](varInfo *v) { v->step = nan; },
                        +[](varInfo *v) { assignEReal(1.0, v, 0); }}) {
        change(rfindVar("y", getTreeRootByIndex(VARTREE_SCRATCH)));
        EXPECT_EQ(P_sameparam(VARTREE_PROCESSED, "x", VARTREE_SCRATCH, "y"), 0);
        toss_all();
        EXPECT_EQ(pair({1.0}, {1.0}), 1);
    }
    // Two empty enumerations are alike whatever their kind.
    rfindVar("y", getTreeRootByIndex(VARTREE_SCRATCH))->enumType = T_STRING;
    EXPECT_EQ(P_sameparam(VARTREE_PROCESSED, "x", VARTREE_SCRATCH, "y"), 1);
    make_string(VARTREE_SCRATCH, "s", {"1"});
    EXPECT_EQ(P_sameparam(VARTREE_PROCESSED, "x", VARTREE_SCRATCH, "s"), 0);
    EXPECT_EQ(P_sameparam(VARTREE_PROCESSED, "x", VARTREE_SCRATCH, "none"), P_NOVAR);
}

TEST_F(ValueRules, WalkMeetsEveryParameterInNameOrder)
{
    // Inserted in an order that leaves the tree deep on one side.
    std::vector<std::string> made;
    for (int i = 40; i > 0; --i) {
        const std::string name = "p" + std::to_string(100 + i);
        make_real(kTree, name.c_str(), {static_cast<double>(i)});
        made.insert(made.begin(), name);
    }
    make_string(kTree, "a", {"text"});
    made.insert(made.begin(), "a");
    struct Seen {
        std::vector<std::string> names;
        std::vector<int> types;
    } seen;
    const int walked = P_eachparam(
        kTree,
        [](const char *name, const varInfo *record, void *into) {
            auto &s = *static_cast<Seen *>(into);
            s.names.push_back(name);
            s.types.push_back(record->type);
        },
        &seen);
    EXPECT_EQ(walked, 41);
    EXPECT_EQ(seen.names, made);
    EXPECT_EQ(seen.types.front(), T_STRING);
    EXPECT_EQ(seen.types.back(), T_REAL);

    auto ignore = [](const char *, const varInfo *, void *) {};
    EXPECT_EQ(P_eachparam(VARTREE_SCRATCH, ignore, nullptr), 0);
    EXPECT_EQ(P_eachparam(kTree, nullptr, nullptr), P_VALUE_INVALID);
    EXPECT_EQ(P_eachparam(99, ignore, nullptr), P_NOTREE);
}

TEST_F(ValueRules, UnsavableNamesAndRefusalTexts)
{
    make_real(kTree, "sw", {1.0});
    make_real(kTree, "$b", {1.0});
    make_real(kTree, "$a", {1.0});
    std::vector<std::string> names;
    auto keep = [](const char *name, void *into) {
        static_cast<std::vector<std::string> *>(into)->push_back(name);
    };
    EXPECT_EQ(P_unsavable(kTree, keep, &names), 2);
    EXPECT_EQ(names, (std::vector<std::string>{"$a", "$b"}));
    EXPECT_EQ(P_unsavable(VARTREE_SCRATCH, nullptr, nullptr), 0);

    char text[64];
    EXPECT_EQ(P_refusaltext(P_UPPER, "tpwr", "5 > 4", text, sizeof text), 39u);
    EXPECT_STREQ(text, "tpwr: Value exceeds upper limit (5 > 4)");
    P_refusaltext(P_TYPE, "a\nb", "", text, sizeof text);  // the words' blank dropped
    EXPECT_STREQ(text, "a\\nb: Wrong type");
    EXPECT_EQ(P_quoted("x\"\x01", 3, text, 4), 9u);
    EXPECT_STREQ(text, "\"x\\");

    // The header serves C as it serves C++.
    make_real(kTree, "nt", {1.0});
    assignEReal(3.0, rfindVar("nt", getTreeRootByIndex(kTree)), 0);
    EXPECT_EQ(treekeep_values_c11_refusal(kTree, "nt", "2", text, sizeof text), P_ENUM);
    EXPECT_STREQ(text, "nt: Value violates enum type (2 is not one of 3)");
}

}  // namespace
