// What P_save writes, P_read reads back: every field of every record, reals
// to the 12 digits the file keeps, texts whatever bytes they hold.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "param_file_fixture.h"
#include "sink_capture.h"
#include "treekeep.h"
#include "vartree_testing.h"

namespace {

struct Snapshot {
    std::string name;
    varInfo fields{};
    std::vector<double> reals, enumReals;
    std::vector<std::string> texts, enumTexts;
};

void walk(const SymbolNode *node, std::vector<Snapshot> &out)
{
    if (node == nullptr)
        return;
    walk(node->left, out);
    const varInfo *v = node->varInfo;
    Snapshot s;
    s.name = node->name;
    s.fields = *v;
    for (const ValueNode *n = v->values; n != nullptr; n = n->next)
        (v->type == T_STRING ? (void)s.texts.emplace_back(n->string) : s.reals.push_back(n->real));
    for (const ValueNode *n = v->enumValues; n != nullptr; n = n->next)
        (v->enumType == T_STRING ? (void)s.enumTexts.emplace_back(n->string)
                                 : s.enumReals.push_back(n->real));
    out.push_back(s);
    walk(node->right, out);
}

std::vector<Snapshot> snapshot(int tree)
{
    std::vector<Snapshot> out;
    walk(*getTreeRootByIndex(tree), out);
    return out;
}

double twelve_digits(double x)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.12g", x);
    return std::strtod(text, nullptr);
}

std::string slurp(const std::string &path)
{
    std::string bytes;
    if (std::FILE *f = std::fopen(path.c_str(), "rb")) {
        for (int c; (c = std::fgetc(f)) != EOF;)
            bytes.push_back(static_cast<char>(c));
        std::fclose(f);
    }
    return bytes;
}

class RoundTrip : public ParamFileTest {};

TEST_F(RoundTrip, EveryFieldAndEveryByteOfTextComesBack)
{
    SymbolNode **current = getTreeRootByIndex(1);
    varInfo *sw = RcreateVar("sw", current, T_REAL);
    assignReal(1.0 / 3.0, sw, 0);
    assignReal(-2.5e-300, sw, 2);
    assignReal(6e23, sw, 3);
    assignEReal(100, sw, 0);
    assignEReal(0.1, sw, 2);
    sw->subtype = 7; sw->group = 2; sw->dgroup = -3; sw->prot = 0x4001; sw->active = 0;
    sw->min = -1e-7; sw->max = 123456789012345.0; sw->step = 0.25;

    varInfo *text = RcreateVar("comment", current, T_STRING);
    assignString("plain", text, 0);
    assignString("quote \" and backslash \\ and line\nbreak\ttab", text, 2);
    assignString("ends in a backslash \\", text, 3);
    assignString("", text, 4);
    assignString(std::string(1022, 'x').c_str(), text, 5);
    assignEString("a \"quoted\" entry", text, 0);
    assignEString("c:\\path\\", text, 2);
    text->prot = 0x8000; text->group = 7;

    RcreateVar("empty", current, T_STRING);
    RcreateVar("nothing", current, T_REAL)->active = 0;

    const std::vector<Snapshot> before = snapshot(1);
    const std::string path = write("saved.par", "");
    ASSERT_EQ(P_save(1, path.c_str()), P_OK);
    P_treereset(1);
    SinkCapture sink;
    ASSERT_EQ(P_read(1, path.c_str()), P_OK);
    EXPECT_EQ(sink.text(), "");
    const std::vector<Snapshot> after = snapshot(1);

    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        const Snapshot &b = before[i], &a = after[i];
        SCOPED_TRACE(b.name);
        EXPECT_EQ(a.name, b.name);
        EXPECT_EQ(a.fields.active, b.fields.active);
        EXPECT_EQ(a.fields.subtype, b.fields.subtype);
        EXPECT_EQ(a.fields.group, b.fields.group);
        EXPECT_EQ(a.fields.dgroup, b.fields.dgroup);
        EXPECT_EQ(a.fields.prot, b.fields.prot);
        EXPECT_EQ(a.fields.type, b.fields.type);
        EXPECT_EQ(a.fields.size, b.fields.size);
        EXPECT_EQ(a.fields.enumCount, b.fields.enumCount);
        EXPECT_EQ(a.fields.min, twelve_digits(b.fields.min));
        EXPECT_EQ(a.fields.max, twelve_digits(b.fields.max));
        EXPECT_EQ(a.fields.step, twelve_digits(b.fields.step));
        ASSERT_EQ(a.reals.size(), b.reals.size());
        for (size_t k = 0; k < b.reals.size(); ++k)
            EXPECT_EQ(a.reals[k], twelve_digits(b.reals[k]));
        ASSERT_EQ(a.enumReals.size(), b.enumReals.size());
        for (size_t k = 0; k < b.enumReals.size(); ++k)
            EXPECT_EQ(a.enumReals[k], twelve_digits(b.enumReals[k]));
        EXPECT_EQ(a.texts, b.texts);
        EXPECT_EQ(a.enumTexts, b.enumTexts);
    }
}

// A load rebalances, so the first reload may reorder the records; from then on
// the bytes are stable.
TEST_F(RoundTrip, ALoadedTreeSavesAgainToTheSameBytes)
{
    SymbolNode **current = getTreeRootByIndex(1);
    for (const char *name : {"m", "e", "t", "a", "z", "f"}) {
        varInfo *v = RcreateVar(name, current, T_STRING);
        assignString(name, v, 0);
        assignString("\\\"", v, 2);
    }
    const std::string first = write("first.par", ""), second = write("second.par", ""),
                      third = write("third.par", "");
    ASSERT_EQ(P_save(1, first.c_str()), P_OK);
    P_treereset(1);
    ASSERT_EQ(P_read(1, first.c_str()), P_OK);
    ASSERT_EQ(P_save(1, second.c_str()), P_OK);
    P_treereset(1);
    ASSERT_EQ(P_read(1, second.c_str()), P_OK);
    ASSERT_EQ(P_save(1, third.c_str()), P_OK);

    EXPECT_EQ(slurp(second), slurp(third));
}

// A file saved from a balanced tree lists its records in pre-order: loading
// it puts every record back where it was, without a rebuild on the way, so
// even a reader that does not rebalance gives the saved shape.
TEST_F(RoundTrip, ALoadWithoutRebalancingKeepsTheSavedShape)
{
    SymbolNode **current = getTreeRootByIndex(1);
    std::mt19937 rng(5);
    for (int i = 0; i < 5000; ++i) {
        const std::string name = "p" + std::to_string(rng() % 1000000);
        assignReal(i, RcreateVar(name.c_str(), current, T_REAL), 0);
    }
    balance(current);
    const std::string saved = write("balanced.par", ""), again = write("again.par", "");
    ASSERT_EQ(P_save(1, saved.c_str()), P_OK);

    SymbolNode **scratch = getTreeRootByIndex(3);
    std::FILE *stream = std::fopen(saved.c_str(), "r");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readfromdisk(scratch, stream), -1);
    std::fclose(stream);
    EXPECT_EQ(vartree_depth(scratch), vartree_depth(current));
    ASSERT_EQ(P_save(3, again.c_str()), P_OK);
    EXPECT_TRUE(slurp(again) == slurp(saved)) << "the records came back in another order";
}

}  // namespace
