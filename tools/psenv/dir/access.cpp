// psenv access: a fully accessible file or directory across the
// application directories.
#include <string>

#include "dir/app_directories.h"
#include "dirsearch.h"

namespace psenv::dir {
namespace {

int run(const Call &call)
{
    const Args &args = call.args;
    if (args.operands.size() != 1)
        return call.usage("access needs exactly one NAME");
    if (const int status = use_appdirs(call); status != kExitOk)
        return status;
    const std::string &name = args.operands[0];
    char path[DIRSEARCH_MAX_CANDIDATE + 1] = "";
    return report_found(appdirAccess(name.c_str(), path), path, name);
}

constexpr std::string_view kUsage[] = {"NAME [--appdirs LIST]"};
constexpr Option kOptions[] = {kAppdirsOption};

}  // namespace

extern constinit const Command kAccess{
    .name = "access",
    .summary = "find a fully accessible file or directory across the application directories",
    .usage = kUsage,
    .options = kOptions,
    .help = "Find NAME directly in the first application directory where it is\n"
            "readable, writable and executable (or searchable), and print the path and\n"
            "the directory's number in the list, separated by a tab.\n"
            "\n"
            "{options}\n"
            "\n"
            "Exit status: 0 found, 1 not found or failed output, 2 usage error.",
    .run = run,
};

}  // namespace psenv::dir
