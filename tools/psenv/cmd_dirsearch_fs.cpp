// psenv link and df: link resolution and free-space tests.
#include <sys/statvfs.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "cli.h"
#include "commands.h"
#include "dirsearch.h"
#include "tool_streams.h"

namespace psenv {

namespace {

constexpr const char *kLinkHelp =
    "Usage: psenv link PATH\n"
    "\n"
    "Follow the chain of symbolic links that starts at PATH and print the path\n"
    "it ends at (a missing path, or a link to a missing target, ends the chain).\n"
    "At most 40 links are followed; '.' and '..' are left as they are.\n"
    "\n"
    "Exit status: 0 resolved, 1 failure (cycle, unreadable link, path too long,\n"
    "failed output; the reason is given), 2 usage error.\n";

constexpr const char *kDfHelp =
    "Usage: psenv df PATH [--blocks N | --file F]\n"
    "\n"
    "Test the file system holding PATH for free space and print 'full' or 'ok',\n"
    "a tab and the number of blocks available.  Without options the file system\n"
    "is full at 10 or fewer available blocks.\n"
    "\n"
    "  --blocks N  full at N or fewer available blocks (0 means 10)\n"
    "  --file F    full when a copy of F would not fit (a missing F is guessed at\n"
    "              a thousandth of the file system, at least 10 blocks)\n"
    "\n"
    "N is a whole number from 0 to 4294967295.\n"
    "\n"
    "Exit status, as cmp(1) and diff(1) have it: 0 enough space, 1 full,\n"
    "2 trouble (usage error, the file system cannot be examined, a failed\n"
    "output).\n";

}  // namespace

int cmd_link(int argc, char **argv)
{
    int exit_status = kExitOk;
    auto args = parse_command(argc, argv, 1, {{"help", false}}, "link", kLinkHelp, exit_status);
    if (!args)
        return exit_status;
    if (args->operands.size() != 1)
        return usage_error("link needs exactly one PATH", "link");
    const std::string &path = args->operands[0];
    char result[DIRSEARCH_MAX_LINK_PATH + 1];
    errno = 0;
    if (follow_link(path.c_str(), result, sizeof result) != 0) {
        // A failed lstat or readlink leaves its reason; the module's own
        // limits leave none.
        const std::string reason = errno != 0 ? std::strerror(errno)
                                              : "a cycle of links, more than 40 links, or a "
                                                "path longer than 4095 characters";
        error("cannot resolve '" + path + "': " + reason);
        return kExitFailure;
    }
    std::printf("%s\n", result);
    return kExitOk;
}

int cmd_df(int argc, char **argv)
{
    int exit_status = kExitOk;
    auto args = parse_command(argc, argv, 1,
                              {{"help", false}, {"blocks", true}, {"file", true}},
                              "df", kDfHelp, exit_status);
    if (!args)
        return exit_status;
    if (args->operands.size() != 1)
        return usage_error("df needs exactly one PATH", "df");
    if (args->has("blocks") && args->has("file"))
        return usage_error("give --blocks or --file, not both", "df");
    const std::string &path = args->operands[0];

    int full = 0;
    int status = 0;
    std::optional<long long> blocks;
    if (!args->has("file")) {
        const std::string text = args->get("blocks").value_or("0");
        blocks = parse_whole(text, 0, UINT_MAX);
        if (!blocks)
            return bad_number("--blocks", text, "a whole number from 0 to 4294967295", "df");
    }
    {
        // The module's perror line comes out with the tool's prefix.
        ModuleStderr module_lines;
        if (auto file = args->get("file"))
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

}  // namespace psenv
