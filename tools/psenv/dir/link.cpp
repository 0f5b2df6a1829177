// psenv link: the end of a chain of symbolic links.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/command.h"
#include "dirsearch.h"

namespace psenv::dir {
namespace {

int run(const Call &call)
{
    const Args &args = call.args;
    if (args.operands.size() != 1)
        return call.usage("link needs exactly one PATH");
    const std::string &path = args.operands[0];
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

}  // namespace

extern constinit const Command kLink{
    .name = "link",
    .summary = "resolve a chain of symbolic links",
    .usage = "PATH",
    .help = "Follow the chain of symbolic links that starts at PATH and print the path\n"
            "it ends at (a missing path, or a link to a missing target, ends the chain).\n"
            "At most 40 links are followed; '.' and '..' are left as they are.\n"
            "\n"
            "Exit status: 0 resolved, 1 failure (cycle, unreadable link, path too long,\n"
            "failed output; the reason is given), 2 usage error.",
    .run = run,
};

}  // namespace psenv::dir
