// Every psenv command checks its standard output at the end: a result that
// could not be written is a failure, never a success.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "psenv_run.h"

namespace {

const std::string kFullMessage = "psenv: error writing standard output: No space left on device\n";

std::string sample()
{
    const char *source = std::getenv("PSENV_SOURCE_DIR");
    return std::string(source != nullptr ? source : ".") + "/examples/params/sample.par";
}

TEST(OutputCheck, EveryCommandFailsWhenItsOutputCannotBeWritten)
{
    if (std::getenv("PSENV_TOOL") == nullptr || access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "needs the built tool and /dev/full";
    const std::vector<std::vector<std::string>> commands = {
        {"par", "show", sample()},
        {"par", "get", sample(), "d1"},
        {"par", "names", sample()},
        {"match", "*", "a", "b"},
        {"link", "/"},
        {"shims", "list", "--set", "5"},
        {"lock", "word", "--key", "400", "--lockfreq", "61.4", "--console", "quilmar"},
        {"--help"},
        {"--version"},
        {"shims", "--help"},
    };
    for (const auto &args : commands) {
        const ToolResult r = run_psenv(args, "", {}, "/dev/full");
        EXPECT_EQ(r.status, 1) << args[0] << " " << (args.size() > 1 ? args[1] : "");
        EXPECT_EQ(r.err, kFullMessage) << args[0];
    }
    // A usage error stays a usage error.
    EXPECT_EQ(run_psenv({"shims", "list"}, "", {}, "/dev/full").status, 2);
    // With somewhere to write, the same commands succeed.
    EXPECT_EQ(run_psenv({"link", "/"}).status, 0);
}

TEST(OutputCheck, EveryStderrLineCarriesThePrefix)
{
    if (std::getenv("PSENV_TOOL") == nullptr)
        GTEST_SKIP() << "needs the built tool";
    for (const auto &args : std::vector<std::vector<std::string>>{
             {"frobnicate"}, {"sched"}, {"shims", "list", "--set", "x"}, {"df"}}) {
        const ToolResult r = run_psenv(args);
        EXPECT_EQ(r.status, 2) << args[0];
        std::size_t start = 0;
        while (start < r.err.size()) {
            EXPECT_EQ(r.err.compare(start, 7, "psenv: "), 0) << r.err;
            start = r.err.find('\n', start);
            start = start == std::string::npos ? r.err.size() : start + 1;
        }
    }
}

}  // namespace
