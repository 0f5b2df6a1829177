// Numbers on psenv's command lines are read one way in every command: the
// whole token in plain decimal, no blank, no hexadecimal; inside comma lists
// no sign either.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "psenv_runner.h"

namespace {

class OptionNumbers : public PsenvRunner {
protected:
    OptionNumbers() : PsenvRunner("option-numbers") {}
};

constexpr const char *kParameters = "d1 1 1 1000 0 0 2 0 0 1 64\n1 2.5 \n0 \n"
                                    "ni 0 1 1000000 0 0 2 0 0 1 64\n1 8 \n0 \n";

TEST_F(OptionNumbers, GridListsTakeBareDigitsOnly)
{
    write("s.sch", "0 0\n3 1\n");
    for (const char *bad : {" 8,2", "+8,2", "8,+2", "8, 2", "8 ,2", "8,2 ", "0x8,2", "8,0x2",
                            "8.0,2", "8e0,2", "8,", ",8", "8,,2", "", "-8,2",
                            "1,1,1,1,1,1,1,1,1,1,1"}) {
        for (const char *command : {"show", "check", "plot"}) {
            std::vector<std::string> arguments = {"sched", command, path("s.sch"), "--ni", bad};
            if (std::string(command) == "plot")
                arguments.insert(arguments.end(), {"--svg", path("s.svg")});
            const auto r = run_psenv(arguments);
            EXPECT_EQ(r.status, 2) << command << " --ni '" << bad << "': " << r.err;
            EXPECT_EQ(r.err.rfind("psenv: --ni needs 1 to 10 whole numbers", 0), 0u)
                << command << " --ni '" << bad << "': " << r.err;
        }
    }
    EXPECT_EQ(run_psenv({"sched", "show", path("s.sch"), "--ni", "8,2"}).status, 0);
    EXPECT_EQ(run_psenv({"sched", "check", path("s.sch"), "--ni", "8,2"}).status, 0);

    // --dims is a list too.
    write("t.sch", "0 0 0\n1 1 1\n");
    for (const char *bad : {"+1,2", " 1,2", "1,+2", "1, 2", "0x1,2", "1,2,3"})
        EXPECT_EQ(run_psenv({"sched", "plot", path("t.sch"), "--svg", path("t.svg"), "--dims", bad})
                      .status,
                  2)
            << bad;
    EXPECT_EQ(run_psenv({"sched", "plot", path("t.sch"), "--svg", path("t.svg"), "--dims", "3,1"})
                  .status,
              0);
}

TEST_F(OptionNumbers, PlannedMethodsReadTheirNumbersStrictly)
{
    const std::vector<std::string> base = {"sched", "make", "--method", "exponential", "--ni",
                                           "64", "--dir", dir_};
    auto make = [&](const std::vector<std::string> &extra) {
        std::vector<std::string> arguments = base;
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return run_psenv(arguments);
    };
    for (const char *bad : {" 4", "+4", "0x4", "0x1p2", "4 ", "nan", "inf", "0", "4,+2", "1e999"}) {
        const auto r = make({"--points", "10", "--decay", bad});
        EXPECT_EQ(r.status, 2) << "--decay '" << bad << "': " << r.err;
        EXPECT_NE(r.err.find("--decay needs"), std::string::npos) << r.err;
    }
    for (const char *bad : {" 10", "10 ", "0xa", "10.0", "1e1"}) {
        const auto r = make({"--points", bad, "--decay", "4"});
        EXPECT_EQ(r.status, 2) << "--points '" << bad << "': " << r.err;
        EXPECT_NE(r.err.find("--points must be"), std::string::npos) << r.err;
    }
    // A single value keeps its sign, as every other number option does.
    EXPECT_EQ(make({"--points", "+10", "--decay", "4.5e0"}).status, 0);
    const std::string rows = read("sampling.sch");
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 10);
}

TEST_F(OptionNumbers, WaitRefusesWhatIsNoPlainNumberOfSeconds)
{
    write("p.par", kParameters);
    write("q.par", kParameters);
    for (const char *bad : {"0x10", "0x1p3", " 5", "5 ", "nan", "inf", "", "-1", "3601"}) {
        const auto r = run_psenv({"par", "set", path("p.par"), "d1", "7", "--wait", bad});
        EXPECT_EQ(r.status, 2) << "--wait '" << bad << "': " << r.err;
        EXPECT_EQ(r.err.rfind("psenv: --wait takes seconds", 0), 0u) << r.err;
        EXPECT_EQ(read("p.par"), kParameters) << bad;
        EXPECT_EQ(run_psenv({"par", "merge", path("q.par"), path("p.par"), "--wait", bad}).status, 2)
            << bad;
    }
    const auto r = run_psenv({"par", "set", path("p.par"), "d1", "7", "--wait", "+2.5e0"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(read("p.par").find("1 7 \n"), std::string::npos) << read("p.par");
}

TEST_F(OptionNumbers, ParGetIndexIsAPlainWholeNumber)
{
    write("p.par", kParameters);
    for (const char *bad : {" 1", "1 ", "0x1", "1.0"}) {
        const auto r = run_psenv({"par", "get", path("p.par"), "d1", bad});
        EXPECT_EQ(r.status, 2) << "index '" << bad << "': " << r.err;
    }
    const auto r = run_psenv({"par", "get", path("p.par"), "d1", "1"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2.5\n");
}

}  // namespace
