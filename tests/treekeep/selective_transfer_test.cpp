// Selective transfer: every row of its decision rules, the protection bit on
// the way in, and how it ends.
#include <gtest/gtest.h>

#include "param_file_fixture.h"

namespace {

using Reals = std::vector<double>;

using SelectiveTransfer = ParamFileTest;

std::string record(const std::string &name, int prot, double value, int active = 1)
{
    return name + " 0 1 50 -50 0 5 6 " + std::to_string(prot) + " " + std::to_string(active) +
           " 64\n1 " + std::to_string(value) + " \n1 " + std::to_string(value) + " \n";
}

TEST_F(SelectiveTransfer, DecisionRules)
{
    struct Row {
        bool exists;
        int treeProt;
        int fileProt;
        int loadAll;
        bool loaded;
    };
    const Row rows[] = {
        {true, 0x4000, 0x4000, 1, false}, {true, 0x4000, 0, 1, false},
        {true, 0x4000, 0x4000, 0, false}, {true, 0x4000, 0, 0, false},
        {true, 0, 0x4000, 0, true},       {true, 0, 0x4000, 1, true},
        {true, 0, 0, 1, true},            {true, 0, 0, 0, false},
        {false, 0, 0x4000, 0, true},      {false, 0, 0x4000, 1, true},
        {false, 0, 0, 1, true},           {false, 0, 0, 0, false},
    };
    for (const Row &row : rows) {
        toss_all();
        if (row.exists)
            make_real(1, "p", {1.0})->prot = row.treeProt;
        SinkCapture sink;
        const std::string path = write("t.par", record("p", row.fileProt, 42));
        EXPECT_EQ(P_rtx(1, path.c_str(), row.loadAll, 0), P_OK);
        EXPECT_EQ(sink.text(), "");
        SCOPED_TRACE(testing::Message() << "exists " << row.exists << " treeProt " << row.treeProt
                                        << " fileProt " << row.fileProt << " loadAll "
                                        << row.loadAll);
        if (row.loaded) {
            const varInfo *v = var(1, "p");
            ASSERT_NE(v, nullptr);
            EXPECT_EQ(values(1, "p"), Reals{42});
            EXPECT_EQ(v->prot, row.fileProt);
            EXPECT_EQ(v->max, 50);
            EXPECT_EQ(v->min, -50);
            EXPECT_EQ(v->group, 5);
            EXPECT_EQ(v->dgroup, 6);
            EXPECT_EQ(reals(v->enumValues, v->enumCount), Reals{42});
        } else if (row.exists) {
            EXPECT_EQ(values(1, "p"), Reals{1.0});
            EXPECT_EQ(var(1, "p")->prot, row.treeProt);
        } else {
            EXPECT_EQ(var(1, "p"), nullptr);
        }
    }
}

TEST_F(SelectiveTransfer, DroppedRecordsAreReadPastInStep)
{
    make_real(1, "held", {1.0})->prot = 0x4000;
    const std::string file = std::string("held 0 2 0 0 0 0 0 16384 1 64\n2 \"a b\"\n\"c\"\n1 \"a b\" \n") +
                             "skip 0 2 0 0 0 0 0 0 1 64\n1 \"x\"\n0 \n" + record("take", 0x4001, 3);
    EXPECT_EQ(P_rtx(1, write("t.par", file).c_str(), 0, 0), P_OK);
    EXPECT_EQ(values(1, "held"), Reals{1.0});
    EXPECT_EQ(var(1, "skip"), nullptr);
    EXPECT_EQ(values(1, "take"), Reals{3});

    // Loaded with the bit kept, it is held against a later transfer.
    EXPECT_EQ(P_rtx(1, write("u.par", record("take", 0, 9)).c_str(), 1, 0), P_OK);
    EXPECT_EQ(values(1, "take"), Reals{3});
}

TEST_F(SelectiveTransfer, ClearBitDropsOnlyTheTransferBit)
{
    const std::string path = write("t.par", record("p", 0x4000 | 0x8000 | 0x2 | 0x2000, 4, 0));
    EXPECT_EQ(P_rtx(1, path.c_str(), 0, 1), P_OK);
    const varInfo *v = var(1, "p");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->prot, 0x8000 | 0x2 | 0x2000);
    EXPECT_EQ(v->active, 0);
    // Without the bit it can be transferred again.
    EXPECT_EQ(P_rtx(1, write("u.par", record("p", 0, 9)).c_str(), 1, 1), P_OK);
    EXPECT_EQ(values(1, "p"), Reals{9});
}

TEST_F(SelectiveTransfer, NothingMarkedAndNotAllLeavesTheTree)
{
    make_real(1, "a", {1.0});
    const std::string path = write("t.par", record("a", 7, 2) + record("b", 0, 3));
    EXPECT_EQ(P_rtx(1, path.c_str(), 0, 0), P_OK);
    EXPECT_EQ(values(1, "a"), Reals{1.0});
    EXPECT_EQ(count(1), 1);
    EXPECT_EQ(P_rtx(1, (dir_ + "/none").c_str(), 1, 0), P_NOFILE);
    EXPECT_EQ(P_rtx(12, path.c_str(), 1, 0), P_NOTREE);
    EXPECT_EQ(P_rtx(1, write("e.par", "").c_str(), 1, 0), P_OK);
    EXPECT_EQ(P_rtx(1, write("h.par", "a 0 1 0 0 0 0 0 0 1 64\n").c_str(), 0, 0), P_OK);
}

TEST_F(SelectiveTransfer, ErrorsEndWithWriteCodeAndKeepEarlierRecords)
{
    const std::pair<std::string, std::string> cases[] = {
        {"odd 0 5 0 0 0 0 0 0 1 64\n0 \n0 \n", "rtxfromdisk: odd has nonexistent type\n"},
        {"s 0 2 0 0 0 0 0 0 1 64\n2 \"a\"\n", "rtxfromdisk: premature EOF\n"},
        {std::string(10000, 'n') + " 0 1 0 0 0 0 0 0 1 64\n0 \n0 \n", "rtxfromdisk: name too long\n"},
        {"w 0 1 0 0 0 0 0 0 1 64\n1 x \n0 \n", "rtxfromdisk: bad number\n"},
    };
    for (const auto &[bad, message] : cases) {
        toss_all();
        SinkCapture sink;
        // The damaged record is one that would be dropped: it fails all the same.
        const std::string path = write("t.par", record("first", 0x4000, 1) + bad + record("last", 0x4000, 2));
        EXPECT_EQ(P_rtx(1, path.c_str(), 0, 0), P_WRITE) << message;
        EXPECT_EQ(sink.text(), message);
        EXPECT_EQ(values(1, "first"), Reals{1});
        EXPECT_EQ(var(1, "last"), nullptr);
    }

    SinkCapture sink;
    make_real(1, "aaa", {1.0});
    memalloc_fail_nth(1);
    EXPECT_EQ(P_rtx(1, write("c.par", record("zz", 0x4000, 1)).c_str(), 0, 0), P_WRITE);
    memalloc_fail_nth(0);
    EXPECT_EQ(sink.text(), "rtx: Variable \"zz\" could not be created\n");
}

TEST_F(SelectiveTransfer, HugeCountEndsAtTheEndOfTheFile)
{
    SinkCapture sink;
    EXPECT_EQ(P_rtx(1, write("t.par", "x 0 1 0 0 0 0 0 16384 1 64\n2000000000 5").c_str(), 0, 0),
              P_OK);
    EXPECT_EQ(values(1, "x"), Reals{5});
    EXPECT_EQ(sink.text(), "");
}

}  // namespace
