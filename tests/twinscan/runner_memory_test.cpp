// The memory of experiment programs: one element of many kept, and running
// out of memory reported.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "runner_fixture.h"

namespace {

namespace fs = std::filesystem;

// The sanitizers' allocator keeps freed memory and stops at a failed
// allocation, and valgrind needs memory of its own: memory is measured in
// plain runs only.
bool plain_allocator()
{
#if defined(__SANITIZE_ADDRESS__)
    return false;
#else
    const char *preload = std::getenv("LD_PRELOAD");
    return preload == nullptr || std::strstr(preload, "vgpreload") == nullptr;
#endif
}

// 300 x 300 = 90000 elements, each with its own pw and d1.
Parameters many_elements()
{
    Parameters p = one_pulse();
    std::string pws, d1s;
    for (int i = 1; i <= 300; ++i) {
        pws += std::to_string(i) + "e-07 ";
        d1s += std::to_string(i) + "e-04 ";
    }
    p["array"] = "\"pw,d1\"";
    p["pw"] = pws;
    p["d1"] = d1s;
    return p;
}

TEST_F(Runner, ShowingOneOfManyElementsKeepsMemoryForOneElement)
{
    if (!plain_allocator())
        GTEST_SKIP() << "memory is measured without the sanitizers and valgrind";
    const std::string par = parfile(many_elements()).string();
    const fs::path svg = dir_ / "last.svg";
    // Every element runs; the trace shows one and the diagram draws it.
    int raw = std::system((std::string("'") + ONEPULSE_PROGRAM + "' --element 90000 --svg '" +
                           svg.string() + "' '" + par + "' >'" + (dir_ / "out").string() + "'")
                              .c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0);
    EXPECT_EQ(slurp(dir_ / "out").rfind("element 90000 of 90000\narrayed: pw 3e-05, d1 0.03\n", 0),
              0u);
    EXPECT_NE(slurp(svg).find(">onepulse \xE2\x80\x94 element 90000<"), std::string::npos);
    // Kept for every element, the events took some 450 MB.
    struct rusage usage {};
    ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &usage), 0);
    EXPECT_LT(usage.ru_maxrss, 100L * 1024) << "KiB at the most of any run so far";
}

// The events of an element drawn must be kept; more than memory holds ends
// the run with a message instead of an abort.
TEST_F(Runner, RunningOutOfMemoryIsAMessageAndStatusOne)
{
    if (!plain_allocator())
        GTEST_SKIP() << "the sanitizers' allocator and valgrind stop the run themselves";
    Parameters p = one_pulse();
    p["probe_delay"] = "0.1";
    p["probe_power"] = "30";
    p["probe_points"] = "64";
    p["probe_repeat"] = "5000000"; // some 1.5 GB of events to draw
    const fs::path svg = dir_ / "never.svg";
    int raw = std::system((std::string("ulimit -v 65536; '") + PROBE_PROGRAM + "' --svg '" +
                           svg.string() + "' '" + parfile(p).string() + "' >/dev/null 2>'" +
                           (dir_ / "err").string() + "'")
                              .c_str());
    ASSERT_TRUE(WIFEXITED(raw)) << "killed by signal " << WTERMSIG(raw);
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    EXPECT_EQ(slurp(dir_ / "err"), "probe: element 1: out of memory\n");
    EXPECT_FALSE(fs::exists(svg));
}

} // namespace
