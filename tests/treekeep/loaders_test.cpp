// Full load, values-only load, new-parameters load and the tree test.
#include <gtest/gtest.h>

#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "param_file_fixture.h"
#include "vartree_testing.h"

namespace {

using Strings = std::vector<std::string>;
using Reals = std::vector<double>;

const std::string kWidth = "width 3 1 100 -5 0.5 4 6 8192 1 64\n2 2.5 10 \n3 2.5 10 20 \n";
const std::string kMode =
    "mode 7 2 0 0 0 1 2 0 0 64\n2 \"red\"\n\"x\\\"y\"\n2 \"red\" \"blue\" \n";

using FullLoad = ParamFileTest;

TEST_F(FullLoad, TakesEveryFieldValueAndEnumeration)
{
    SinkCapture sink;
    ASSERT_EQ(P_read(1, write("a.par", kWidth + kMode).c_str()), P_OK);
    EXPECT_EQ(sink.text(), "");

    const varInfo *w = var(1, "width");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->subtype, 3);
    EXPECT_EQ(w->type, T_REAL);
    EXPECT_EQ(w->max, 100.0);  // the file holds the maximum first
    EXPECT_EQ(w->min, -5.0);
    EXPECT_EQ(w->step, 0.5);
    EXPECT_EQ(w->group, 4);
    EXPECT_EQ(w->dgroup, 6);
    EXPECT_EQ(w->prot, 8192);
    EXPECT_EQ(w->active, 1);
    EXPECT_EQ(values(1, "width"), (Reals{2.5, 10}));
    EXPECT_EQ(reals(w->enumValues, w->enumCount), (Reals{2.5, 10, 20}));

    const varInfo *m = var(1, "mode");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->type, T_STRING);
    EXPECT_EQ(m->active, 0);  // the file's zero survives the assignments
    EXPECT_EQ(strings(1, "mode"), (Strings{"red", "x\"y"}));
    EXPECT_EQ(m->enumType, T_STRING);
    EXPECT_EQ(texts(m->enumValues, m->enumCount), (Strings{"red", "blue"}));
}

TEST_F(FullLoad, MissingFileEmptyFileAndMissingTree)
{
    make_real(1, "keep", {1.0});
    EXPECT_EQ(P_read(1, (dir_ + "/none.par").c_str()), P_NOFILE);
    EXPECT_EQ(P_read(1, nullptr), P_NOFILE);
    EXPECT_EQ(P_read(1, write("empty.par", "").c_str()), P_OK);
    EXPECT_EQ(P_read(1, write("blank.par", " \n\n").c_str()), P_OK);
    EXPECT_EQ(P_read(9, write("a.par", kWidth).c_str()), P_NOTREE);
    EXPECT_EQ(count(1), 1);
    EXPECT_EQ(values(1, "keep"), Reals{1.0});
}

TEST_F(FullLoad, ReplacesAParameterOfTheOtherKindWhole)
{
    varInfo *v = make_string(1, "width", {"a", "b", "c"});
    assignEString("a", v, 0);
    assignEString("z", v, 2);
    const long before = static_cast<long>(memalloc_live_blocks(nullptr));
    ASSERT_EQ(P_read(1, write("a.par", kWidth).c_str()), P_OK);
    v = var(1, "width");
    EXPECT_EQ(v->type, T_REAL);
    EXPECT_EQ(v->enumType, T_REAL);
    EXPECT_EQ(values(1, "width"), (Reals{2.5, 10}));
    EXPECT_EQ(reals(v->enumValues, v->enumCount), (Reals{2.5, 10, 20}));
    EXPECT_EQ(v->max, 100.0);
    // Three texts and two enumeration texts went, five reals came.
    EXPECT_EQ(static_cast<long>(memalloc_live_blocks(nullptr)), before);

    // And back: a real parameter with a real enumeration becomes a string one.
    ASSERT_EQ(P_read(1, write("m.par", "width" + kMode.substr(4)).c_str()), P_OK);
    EXPECT_EQ(strings(1, "width"), (Strings{"red", "x\"y"}));
    EXPECT_EQ(var(1, "width")->enumType, T_STRING);
}

TEST_F(FullLoad, RebalancesTheTreeAndLeaksNothingOnReload)
{
    std::string file;
    for (int i = 0; i < 200; ++i)
        file += "p" + std::to_string(1000 + i) + " 0 1 1 0 0 0 0 0 1 64\n1 " + std::to_string(i) +
                " \n1 7 \n";
    const std::string path = write("many.par", file);
    ASSERT_EQ(P_read(1, path.c_str()), P_OK);
    EXPECT_EQ(count(1), 200);
    EXPECT_EQ(vartree_depth(getTreeRootByIndex(1)), 8);  // 200 nodes, perfectly balanced
    const auto live = memalloc_live_blocks(nullptr);
    ASSERT_EQ(P_read(1, path.c_str()), P_OK);
    EXPECT_EQ(memalloc_live_blocks(nullptr), live);
    EXPECT_EQ(values(1, "p1150"), Reals{150});
}

TEST_F(FullLoad, RecordReaderResultsAndStopMessages)
{
    SinkCapture sink;
    EXPECT_EQ(readWith(readfromdisk, 1, kWidth), -1);
    EXPECT_EQ(readWith(readfromdisk, 1, ""), -1);

    EXPECT_EQ(readWith(readfromdisk, 1, kWidth + "odd 0 7 0 0 0 0 0 0 1 64\n1 5 \n0 \n" + kMode), 0);
    EXPECT_EQ(sink.text(), "readfromdisk: odd has nonexistent type\n");
    EXPECT_EQ(var(1, "mode"), nullptr);  // reading stopped there
    EXPECT_NE(var(1, "width"), nullptr);

    sink.clear();
    EXPECT_EQ(readWith(readfromdisk, 1, "mode 0 2 0 0 0 1 2 0 1 64\n3 \"a\" \"b\"\n"), 0);
    EXPECT_EQ(sink.text(), "readfromdisk: premature EOF\n");
    EXPECT_EQ(strings(1, "mode"), (Strings{"a", "b"}));

    sink.clear();
    EXPECT_EQ(readWith(readfromdisk, 1, "mode 0 2 0 0 0 1 2 0 1 64\n1 \"a\"\n2 \"x\" "), 0);
    EXPECT_EQ(sink.text(), "readfromdisk: premature EOF\n");

    // A real list or a count cut by the end of the file is just the end.
    sink.clear();
    EXPECT_EQ(readWith(readfromdisk, 2, "w 0 1 0 0 0 0 0 0 1 64\n3 1 2"), -1);
    EXPECT_EQ(readWith(readfromdisk, 2, "v 0 1 0 0 0 0 0 0 1 64\n"), -1);
    EXPECT_EQ(readWith(readfromdisk, 2, "u 0 1 0 0 0 0 0 0 1 64\n1 4 "), -1);
    EXPECT_EQ(sink.text(), "");
    EXPECT_EQ(values(2, "w"), (Reals{1, 2}));
    EXPECT_EQ(values(2, "u"), Reals{4});
}

TEST_F(FullLoad, ParameterThatCannotBeCreated)
{
    SinkCapture sink;
    make_real(1, "aaa", {1.0});  // the tree's bookkeeping exists already
    memalloc_fail_nth(1);
    EXPECT_EQ(readWith(readfromdisk, 1, "new 0 1 0 0 0 0 0 0 1 64\n1 5 \n0 \n" + kWidth), 0);
    memalloc_fail_nth(0);
    EXPECT_EQ(sink.text(), "fread:Variable \"new\" could not be found or created\n");
    EXPECT_EQ(count(1), 1);

    sink.clear();
    memalloc_fail_nth(1);
    EXPECT_EQ(P_read(1, write("a.par", kWidth).c_str()), P_OK);  // still 0
    memalloc_fail_nth(0);
    EXPECT_EQ(sink.text(), "fread:Variable \"width\" could not be found or created\n");
}

TEST_F(FullLoad, OverlongStringIsCutAndTheRestReadsInStep)
{
    SinkCapture sink;
    const std::string longText(1500, 'q');
    ASSERT_EQ(P_read(1, write("a.par", "mode 0 2 0 0 0 1 2 0 1 64\n2 \"" + longText +
                                            "\"\n\"short\"\n1 \"e\" \n" + kWidth)
                            .c_str()),
              P_OK);
    EXPECT_EQ(sink.text(), "rscanf:ERROR in rscan, string > 1024\n");
    EXPECT_EQ(strings(1, "mode"), (Strings{std::string(1023, 'q'), "short"}));
    EXPECT_EQ(values(1, "width"), (Reals{2.5, 10}));
}

TEST_F(FullLoad, OverlongNameStopsWithoutOverflow)
{
    SinkCapture sink;
    const std::string longest(255, 'n');
    const std::string tooLong(256, 'n');
    std::string file = kWidth + longest + " 0 1 0 0 0 0 0 0 1 64\n1 3 \n0 \n";
    EXPECT_EQ(readWith(readfromdisk, 1, file + tooLong + " 0 1 0 0 0 0 0 0 1 64\n1 3 \n0 \n" + kMode),
              0);
    EXPECT_EQ(sink.text(), "readfromdisk: name too long\n");
    EXPECT_EQ(values(1, longest.c_str()), Reals{3});
    EXPECT_NE(var(1, "width"), nullptr);
    EXPECT_EQ(var(1, "mode"), nullptr);
    EXPECT_EQ(count(1), 2);
}

TEST_F(FullLoad, TokenThatIsNotANumberStopsTheLoad)
{
    const std::string bad[] = {
        "x 0 one 0 0 0 0 0 0 1 64\n1 3 \n0 \n",      // header field
        "x 0 1 0 0 0 0 0 0 1 zz\n1 3 \n0 \n",        // trailer
        "x 0 1 0 0 0 0 0 0 1 64\nthree 3 \n0 \n",    // value count
        "x 0 1 0 0 0 0 0 0 1 64\n2 3 four \n0 \n",   // real value
        "x 0 1 0 0 0 0 0 0 1 64\n1 3 \nnone \n",     // enumeration count
        "x 0 1 0 0 0 0 0 0 1 64\n1 3 \n1 \"s\" \n",  // text where a real belongs
        "x 0 1 0 0 0 0 0 0 1 64\n3 1 \n0 \n",        // count promises more
    };
    for (const std::string &record : bad) {
        toss_all();
        SinkCapture sink;
        EXPECT_EQ(readWith(readfromdisk, 1, kWidth + record + kMode), 0) << record;
        EXPECT_EQ(sink.text(), "readfromdisk: bad number\n") << record;
        EXPECT_EQ(values(1, "width"), (Reals{2.5, 10}));
        EXPECT_EQ(var(1, "mode"), nullptr) << record;
    }
}

TEST_F(FullLoad, HugeCountWithNothingBehindEndsAtTheEnd)
{
    SinkCapture sink;
    EXPECT_EQ(readWith(readfromdisk, 1, kWidth + "x 0 1 0 0 0 0 0 0 1 64\n2000000000 1 2 "), -1);
    EXPECT_EQ(values(1, "x"), (Reals{1, 2}));
    EXPECT_EQ(readWith(readfromdisk, 1, "y 0 1 0 0 0 0 0 0 1 64\n1 1 \n2000000000 "), -1);
    EXPECT_EQ(sink.text(), "");
    EXPECT_EQ(readWith(readfromdisk, 1, "s 0 2 0 0 0 0 0 0 1 64\n2000000000 \"a\" "), 0);
    EXPECT_EQ(sink.text(), "readfromdisk: premature EOF\n");
}

TEST_F(FullLoad, UnreadableStreamIsReportedNotTakenForAnEmptyFile)
{
    SinkCapture sink;
    make_real(1, "keep", {1.0});
    EXPECT_EQ(P_read(1, dir_.c_str()), P_OK);  // a directory opens but cannot be read
    EXPECT_EQ(sink.text(), "readfromdisk: read error\n");
    EXPECT_EQ(count(1), 1);
}

std::atomic<bool> interrupted{false};
void noteSignal(int)
{
    interrupted = true;
}

TEST_F(FullLoad, InterruptedOpenIsTriedAgain)
{
    // Opening a FIFO blocks until a writer comes; signals meanwhile
    // interrupt the open, which must be tried again rather than fail.
    const std::string fifo = dir_ + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct sigaction action = {};
    struct sigaction previous = {};
    action.sa_handler = noteSignal;  // no SA_RESTART: open returns EINTR
    sigaction(SIGUSR1, &action, &previous);
    interrupted = false;

    const pthread_t reader = pthread_self();
    std::thread writer([&] {
        for (int i = 0; i < 20; ++i) {
            pthread_kill(reader, SIGUSR1);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::FILE *out = std::fopen(fifo.c_str(), "w");
        std::fputs(kWidth.c_str(), out);
        std::fclose(out);
    });
    const int result = P_read(1, fifo.c_str());
    writer.join();
    sigaction(SIGUSR1, &previous, nullptr);
    EXPECT_TRUE(interrupted);
    EXPECT_EQ(result, P_OK);
    EXPECT_EQ(values(1, "width"), (Reals{2.5, 10}));
}

// ---- values only -------------------------------------------------------------

using ValuesLoad = ParamFileTest;

TEST_F(ValuesLoad, OnlyValuesOfExistingParametersOfTheSameType)
{
    varInfo *w = make_real(1, "width", {7, 8, 9});
    w->max = 1000;
    w->prot = 5;
    w->group = 2;
    w->active = 0;
    assignEReal(7, w, 0);
    make_real(1, "mode", {1.0});  // a real parameter meets a string record

    SinkCapture sink;
    EXPECT_EQ(readWith(readvaluesfromdisk, 1,
                       kMode + kWidth + "fresh 0 1 0 0 0 0 0 0 1 64\n1 1 \n0 \n"),
              -1);
    EXPECT_EQ(sink.text(), "");
    EXPECT_EQ(values(1, "width"), (Reals{2.5, 10}));  // three became two
    EXPECT_EQ(w->max, 1000);
    EXPECT_EQ(w->prot, 5);
    EXPECT_EQ(w->group, 2);
    EXPECT_EQ(w->active, 0);
    EXPECT_EQ(reals(w->enumValues, w->enumCount), Reals{7});
    EXPECT_EQ(values(1, "mode"), Reals{1.0});
    EXPECT_EQ(var(1, "fresh"), nullptr);
    EXPECT_EQ(count(1), 2);
}

TEST_F(ValuesLoad, StopMessagesCarryTheirOwnPrefix)
{
    make_real(1, "width", {1});
    const std::pair<std::string, std::string> cases[] = {
        {"odd 0 3 0 0 0 0 0 0 1 64\n0 \n0 \n", "readvaluesfromdisk: odd has nonexistent type\n"},
        {"s 0 2 0 0 0 0 0 0 1 64\n2 \"a\"", "readvaluesfromdisk: premature EOF\n"},
        {std::string(300, 'n') + " 0 1 0 0 0 0 0 0 1 64\n0 \n0 \n",
         "readvaluesfromdisk: name too long\n"},
        {"w 0 1 0 0 0 0 0 0 1 64\n1 x \n0 \n", "readvaluesfromdisk: bad number\n"},
    };
    for (const auto &[record, message] : cases) {
        SinkCapture sink;
        EXPECT_EQ(readWith(readvaluesfromdisk, 1, record + kWidth), 0);
        EXPECT_EQ(sink.text(), message);
        EXPECT_EQ(values(1, "width"), Reals{1});
    }
}

// ---- new parameters only -----------------------------------------------------

using NewVarsLoad = ParamFileTest;

TEST_F(NewVarsLoad, CreatesOnlyWhatTheTreeLacks)
{
    make_real(1, "width", {1});
    make_string(1, "mode", {"old"});
    SinkCapture sink;
    EXPECT_EQ(readWith(readNewVarsfromdisk, 1, kWidth + kMode), -1);
    EXPECT_EQ(values(1, "width"), Reals{1});
    EXPECT_EQ(strings(1, "mode"), Strings{"old"});
    EXPECT_EQ(count(1), 2);

    // Existing records in between are read past in step.
    EXPECT_EQ(readWith(readNewVarsfromdisk, 1,
                       kMode + "fresh 2 1 9 1 0 3 0 0 0 64\n2 4 5 \n1 4 \n" + kWidth),
              -1);
    EXPECT_EQ(sink.text(), "");
    const varInfo *f = var(1, "fresh");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(values(1, "fresh"), (Reals{4, 5}));
    EXPECT_EQ(f->active, 0);
    EXPECT_EQ(f->max, 9);
    EXPECT_EQ(f->group, 3);
    EXPECT_EQ(reals(f->enumValues, f->enumCount), Reals{4});
    EXPECT_EQ(strings(1, "mode"), Strings{"old"});
}

TEST_F(NewVarsLoad, MessagesAreThoseOfTheFullLoad)
{
    SinkCapture sink;
    make_real(1, "aaa", {1.0});
    memalloc_fail_nth(1);
    EXPECT_EQ(readWith(readNewVarsfromdisk, 1, kWidth), 0);
    memalloc_fail_nth(0);
    EXPECT_EQ(sink.text(), "fread:Variable \"width\" could not be created\n");

    sink.clear();
    EXPECT_EQ(readWith(readNewVarsfromdisk, 1, "q 0 9 0 0 0 0 0 0 1 64\n0 \n0 \n"), 0);
    EXPECT_EQ(sink.text(), "readfromdisk: q has nonexistent type\n");
    sink.clear();
    // Even a dropped record must be whole.
    EXPECT_EQ(readWith(readNewVarsfromdisk, 1, "aaa 0 2 0 0 0 0 0 0 1 64\n2 \"a\""), 0);
    EXPECT_EQ(sink.text(), "readfromdisk: premature EOF\n");
}

// ---- tree test ---------------------------------------------------------------

TEST_F(FullLoad, TreeTestTellsEmptyFromFilled)
{
    EXPECT_EQ(P_testread(3), 1);
    make_real(3, "x", {1});
    EXPECT_EQ(P_testread(3), 0);
    EXPECT_EQ(P_testread(17), P_NOTREE);
    EXPECT_EQ(P_testread(-1), P_NOTREE);
}

}  // namespace
