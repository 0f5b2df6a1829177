// psenv match: names against a wildcard pattern.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "core/command.h"
#include "dirsearch.h"

namespace psenv::dir {
namespace {

int run(const Call &call)
{
    const Args &args = call.args;
    if (args.operands.empty())
        return call.usage("match needs a PATTERN");
    const std::string &pattern = args.operands[0];
    bool any = false;
    auto try_name = [&](const std::string &name) {
        if (nscmp(pattern.c_str(), name.c_str()) == 1) {
            std::printf("%s\n", name.c_str());
            any = true;
        }
    };
    if (args.operands.size() > 1) {
        for (std::size_t i = 1; i < args.operands.size(); ++i)
            try_name(args.operands[i]);
    } else {
        std::string line;
        while (std::getline(std::cin, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            try_name(line);
        }
        // Names that could not be read are no answer either way.
        if (std::ferror(stdin)) {
            error(std::string("error reading standard input: ") + std::strerror(errno));
            return kExitUsage;
        }
    }
    return any ? kExitOk : kExitFailure;
}

}  // namespace

extern constinit const Command kMatch{
    .name = "match",
    .summary = "match names against a wildcard pattern",
    .usage = "PATTERN [NAME...]",
    .help = "Print every NAME (or, without NAME, every line of standard input) that\n"
            "matches PATTERN.  In PATTERN '*' is any run of characters and '%' one\n"
            "character; letters A-Z and a-z are not told apart.\n"
            "\n"
            "Exit status: 0 some name matched, 1 none did or failed output, 2 usage error\n"
            "or standard input could not be read.",
    .run = run,
};

}  // namespace psenv::dir
