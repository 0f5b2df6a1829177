// psenv find: a file across the application directories.
#include <optional>
#include <string>

#include "dir/app_directories.h"
#include "dirsearch.h"

namespace psenv::dir {
namespace {

// Letters r, w, x (each once), or a digit 0-7.
std::optional<int> parse_mode(const std::string &text)
{
    if (text.size() == 1 && text[0] >= '0' && text[0] <= '7')
        return text[0] - '0';
    if (text.empty())
        return std::nullopt;
    int mode = 0;
    for (char c : text) {
        const int bit = c == 'r' ? 4 : c == 'w' ? 2 : c == 'x' ? 1 : 0;
        if (bit == 0 || (mode & bit) != 0)
            return std::nullopt;
        mode |= bit;
    }
    return mode;
}

int run(const Call &call)
{
    const Args &args = call.args;
    if (args.operands.size() != 1)
        return call.usage("find needs exactly one NAME");
    const std::optional<int> mode = parse_mode(args.get("mode").value_or("0"));
    if (!mode)
        return call.usage("bad --mode '" + args.get("mode").value_or("") + "'");
    if (const int status = use_appdirs(call); status != kExitOk)
        return status;
    const std::string &name = args.operands[0];
    const std::string subdir = args.get("subdir").value_or("");
    const std::optional<std::string> suffix = args.get("suffix");
    char path[DIRSEARCH_MAX_CANDIDATE + 1] = "";
    const int entry = appdirFind(name.c_str(), subdir.c_str(), path,
                                 suffix ? suffix->c_str() : nullptr, *mode);
    return report_found(entry, path, name);
}

constexpr std::string_view kUsage[] = {
    "NAME [--subdir DIR] [--suffix SUF] [--mode MODE] [--appdirs LIST]"};

constexpr Option kOptions[] = {
    {"subdir", "DIR", "subdirectory of every application directory (default: none)"},
    {"suffix", "SUF", "also try NAME with this suffix, after NAME itself"},
    {"mode", "MODE",
     "access wanted: letters r, w, x, or a number 0-7 (default: 0,\n"
     "existence only)"},
    kAppdirsOption,
};

}  // namespace

extern constinit const Command kFind{
    .name = "find",
    .summary = "find a file across the application directories",
    .usage = kUsage,
    .options = kOptions,
    .help = "Find DIR/NAME (or DIR/NAME followed by SUF) in the first application\n"
            "directory that grants MODE, and print the path found and the number of\n"
            "that directory in the list, separated by a tab.\n"
            "\n"
            "{options}\n"
            "\n"
            "Exit status: 0 found, 1 not found or failed output, 2 usage error.",
    .run = run,
};

}  // namespace psenv::dir
