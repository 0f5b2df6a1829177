// psenv find and psenv access: the search across the application
// directories.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/command.h"
#include "dirsearch.h"

namespace psenv::dir {
namespace {

// The module keeps a pointer to the list, which must outlive every search.
std::string appdir_list;

// Hands the search module the list of --appdirs or $PSENV_APPDIRS; a usage
// error when there is neither.
int use_appdirs(const Call &call)
{
    if (auto given = call.args.get("appdirs"))
        appdir_list = *given;
    else if (const char *from_environment = std::getenv("PSENV_APPDIRS"))
        appdir_list = from_environment;
    else
        return call.usage("no application directories: give --appdirs or set PSENV_APPDIRS");
    setAppdirValue(appdir_list.c_str());
    return kExitOk;
}

// "PATH<tab>ENTRY" for a found name (entry 1 and up); entry 0 is "not
// found", reported, kExitFailure.
int report_found(int entry, const char *path, const std::string &name)
{
    if (entry == 0) {
        error("'" + name + "' not found in the application directories");
        return kExitFailure;
    }
    std::printf("%s\t%d\n", path, entry);
    return kExitOk;
}

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

int run_find(const Call &call)
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

int run_access(const Call &call)
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

constexpr Option kAppdirs{"appdirs", "LIST",
                          "directories separated by ';' (default: $PSENV_APPDIRS)"};

constexpr Option kFindOptions[] = {
    {"subdir", "DIR", "subdirectory of every application directory (default: none)"},
    {"suffix", "SUF", "also try NAME with this suffix, after NAME itself"},
    {"mode", "MODE",
     "access wanted: letters r, w, x, or a number 0-7 (default: 0,\n"
     "existence only)"},
    kAppdirs,
};

constexpr Option kAccessOptions[] = {kAppdirs};

}  // namespace

extern constinit const Command kFind{
    .name = "find",
    .summary = "find a file across the application directories",
    .usage = "NAME [--subdir DIR] [--suffix SUF] [--mode MODE] [--appdirs LIST]",
    .options = kFindOptions,
    .help = "Find DIR/NAME (or DIR/NAME followed by SUF) in the first application\n"
            "directory that grants MODE, and print the path found and the number of\n"
            "that directory in the list, separated by a tab.\n"
            "\n"
            "{options}\n"
            "\n"
            "Exit status: 0 found, 1 not found or failed output, 2 usage error.",
    .run = run_find,
};

extern constinit const Command kAccess{
    .name = "access",
    .summary = "find a fully accessible file or directory across the application directories",
    .usage = "NAME [--appdirs LIST]",
    .options = kAccessOptions,
    .help = "Find NAME directly in the first application directory where it is\n"
            "readable, writable and executable (or searchable), and print the path and\n"
            "the directory's number in the list, separated by a tab.\n"
            "\n"
            "{options}\n"
            "\n"
            "Exit status: 0 found, 1 not found or failed output, 2 usage error.",
    .run = run_access,
};

}  // namespace psenv::dir
