// psenv df: is there room on a file system.
#include <sys/statvfs.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "core/command.h"
#include "core/numbers.h"
#include "core/streams.h"
#include "dirsearch.h"

namespace psenv::dir {
namespace {

int run(const Call &call)
{
    const Args &args = call.args;
    if (args.operands.size() != 1)
        return call.usage("df needs exactly one PATH");
    if (args.has("blocks") && args.has("file"))
        return call.usage("give --blocks or --file, not both");
    const std::string &path = args.operands[0];

    std::optional<long long> blocks;
    if (!args.has("file")) {
        const std::string text = args.get("blocks").value_or("0");
        blocks = parse_whole(text, 0, UINT_MAX);
        if (!blocks)
            return bad_number("--blocks", text, "a whole number from 0 to 4294967295",
                              call.command);
    }
    int full = 0;
    int status = 0;
    {
        // The module's perror line comes out with the tool's prefix.
        ModuleStderr module_lines;
        if (auto file = args.get("file"))
            status = isDiskFullFile(path.c_str(), file->c_str(), &full);
        else
            status = isDiskFullSize(path.c_str(), static_cast<unsigned int>(*blocks), &full);
    }
    if (status != 0)
        return kExitUsage;  // trouble; the reason is already on standard error
    struct statvfs figures {};
    if (statvfs(path.c_str(), &figures) != 0) {
        error("cannot examine '" + path + "': " + std::strerror(errno));
        return kExitUsage;
    }
    std::printf("%s\t%llu\n", full ? "full" : "ok",
                static_cast<unsigned long long>(figures.f_bavail));
    return full ? kExitFailure : kExitOk;
}

constexpr Option kOptions[] = {
    {"blocks", "N", "full at N or fewer available blocks (0 means 10)"},
    {"file", "F",
     "full when a copy of F would not fit (a missing F is guessed at\n"
     "a thousandth of the file system, at least 10 blocks)"},
};

}  // namespace

extern constinit const Command kDf{
    .name = "df",
    .summary = "test a file system for free space",
    .usage = "PATH [--blocks N | --file F]",
    .options = kOptions,
    .help = "Test the file system holding PATH for free space and print 'full' or 'ok',\n"
            "a tab and the number of blocks available.  Without options the file system\n"
            "is full at 10 or fewer available blocks.\n"
            "\n"
            "{options}\n"
            "\n"
            "N is a whole number from 0 to 4294967295.\n"
            "\n"
            "Exit status, as cmp(1) and diff(1) have it: 0 enough space, 1 full,\n"
            "2 trouble (usage error, the file system cannot be examined, a failed\n"
            "output).",
    .run = run,
    .answers_with_1 = true,
};

}  // namespace psenv::dir
