// psenv sched delays: printed delay lists, widths from options or a
// parameter file, and delay lists written into a parameter file safely.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "psenv_runner.h"

namespace {

namespace fs = std::filesystem;

class SchedDelays : public PsenvRunner {
protected:
    SchedDelays() : PsenvRunner("sched-delays") {}
    void SetUp() override
    {
        PsenvRunner::SetUp();
        if (IsSkipped())
            return;
        write("s.sch", "0    0    \n3    1    \n5    2    \n");
    }
};

constexpr const char *kWidths = "sw1 0 1 1e9 0 0 2 0 0 1 64\n1 1000 \n0 \n"
                                "sw2 0 1 1e9 0 0 2 0 0 1 64\n1 400 \n0 \n";

TEST_F(SchedDelays, PrintsEachRowsDelaysInSeconds)
{
    auto r = run_psenv({"sched", "delays", path("s.sch"), "--sw1", "1000", "--sw2", "400"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0 0\n0.003 0.0025\n0.005 0.005\n");
    write("w.par", kWidths);
    r = run_psenv({"sched", "delays", path("s.sch"), "--params", path("w.par")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0 0\n0.003 0.0025\n0.005 0.005\n");
    // An option wins over the file.
    r = run_psenv({"sched", "delays", path("s.sch"), "--params", path("w.par"), "--sw2", "200"});
    EXPECT_EQ(r.out, "0 0\n0.003 0.005\n0.005 0.01\n");

    r = run_psenv({"sched", "delays", path("s.sch"), "--sw1", "1000"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("dimension 2 needs its spectral width: give --sw2"), std::string::npos) << r.err;
    EXPECT_EQ(run_psenv({"sched", "delays", path("s.sch"), "--sw1", "0", "--sw2", "1"}).status, 2);
    EXPECT_EQ(run_psenv({"sched", "delays", path("s.sch"), "--sw1", "1", "--sw2", "1", "--sw3", "1"}).status, 2);
    EXPECT_EQ(run_psenv({"sched", "delays", path("none.sch"), "--sw1", "1"}).status, 1);
    write("neg.sch", "0\n-2\n");
    r = run_psenv({"sched", "delays", path("neg.sch"), "--sw1", "100"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("negative increment"), std::string::npos) << r.err;
    EXPECT_EQ(run_psenv({"sched", "delays", path("s.sch"), "--sw1", "1", "--sw2", "1", "--wait", "1"}).status, 2);
}

TEST_F(SchedDelays, WritesTheDelaysIntoAParameterFile)
{
    write("exp.par", std::string(kWidths) + "d2 0 1 1000 0 0 2 0 0 1 64\n1 0 \n0 \n");
    auto r = run_psenv({"sched", "delays", path("s.sch"), "--params", path("exp.par"), "--write",
                        path("exp.par")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("created new real parameter 'd3'"), std::string::npos) << r.err;
    const std::string saved = read("exp.par");
    EXPECT_NE(saved.find("d2 0 1 1000 0 0 2 0 0 1 64\n3 0 0.003 0.005 \n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\n3 0 0.0025 0.005 \n"), std::string::npos) << saved;
    auto got = run_psenv({"par", "get", path("exp.par"), "d3"});
    EXPECT_EQ(got.out, "0\n0.0025\n0.005\n") << got.err;

    // Limits that do not allow a delay, a write-protected or string d2: the
    // file stays as it was.
    for (const std::string &d2 : {std::string("d2 0 1 0.004 0 0 2 0 0 1 64\n1 0 \n0 \n"),
                                  std::string("d2 0 1 1000 0 0 2 0 1 1 64\n1 0 \n0 \n"),
                                  std::string("d2 0 2 0 0 0 2 0 0 1 64\n1 \"x\" \n0 \n")}) {
        const std::string before = std::string(kWidths) + d2;
        write("bad.par", before);
        r = run_psenv({"sched", "delays", path("s.sch"), "--sw1", "1000", "--sw2", "400", "--write",
                       path("bad.par")});
        EXPECT_EQ(r.status, 1) << d2;
        EXPECT_NE(r.err.find("left unchanged"), std::string::npos) << r.err;
        EXPECT_EQ(read("bad.par"), before);
    }
    // No file to write into, or a damaged one.
    EXPECT_EQ(run_psenv({"sched", "delays", path("s.sch"), "--sw1", "1", "--sw2", "1", "--write",
                         path("missing.par")})
                  .status,
              1);
    EXPECT_FALSE(fs::exists(path("missing.par")));
    write("damaged.par", "d2 0 1 1000 0 0 2 0 0 1 64\n3 0 \n");
    EXPECT_EQ(run_psenv({"sched", "delays", path("s.sch"), "--sw1", "1", "--sw2", "1", "--write",
                         path("damaged.par")})
                  .status,
              1);
    EXPECT_EQ(read("damaged.par"), "d2 0 1 1000 0 0 2 0 0 1 64\n3 0 \n");
}

}  // namespace
