// psenv find, access and match: the application directory search and the
// wildcard matcher.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "cli.h"
#include "commands.h"
#include "dirsearch.h"

namespace psenv {

namespace {

constexpr const char *kFindHelp =
    "Usage: psenv find NAME [--subdir DIR] [--suffix SUF] [--mode MODE] [--appdirs LIST]\n"
    "\n"
    "Find DIR/NAME (or DIR/NAME followed by SUF) in the first application\n"
    "directory that grants MODE, and print the path found and the number of\n"
    "that directory in the list, separated by a tab.\n"
    "\n"
    "  --subdir DIR    subdirectory of every application directory (default: none)\n"
    "  --suffix SUF    also try NAME with this suffix, after NAME itself\n"
    "  --mode MODE     access wanted: letters r, w, x, or a number 0-7 (default: 0,\n"
    "                  existence only)\n"
    "  --appdirs LIST  directories separated by ';' (default: $PSENV_APPDIRS)\n"
    "\n"
    "Exit status: 0 found, 1 not found or failed output, 2 usage error.\n";

constexpr const char *kAccessHelp =
    "Usage: psenv access NAME [--appdirs LIST]\n"
    "\n"
    "Find NAME directly in the first application directory where it is\n"
    "readable, writable and executable (or searchable), and print the path and\n"
    "the directory's number in the list, separated by a tab.\n"
    "\n"
    "  --appdirs LIST  directories separated by ';' (default: $PSENV_APPDIRS)\n"
    "\n"
    "Exit status: 0 found, 1 not found or failed output, 2 usage error.\n";

constexpr const char *kMatchHelp =
    "Usage: psenv match PATTERN [NAME...]\n"
    "\n"
    "Print every NAME (or, without NAME, every line of standard input) that\n"
    "matches PATTERN.  In PATTERN '*' is any run of characters and '%' one\n"
    "character; letters A-Z and a-z are not told apart.\n"
    "\n"
    "Exit status: 0 some name matched, 1 none did or failed output, 2 usage error\n"
    "or standard input could not be read.\n";

// The list must outlive every search, so it is kept here.
std::string appdir_list;

bool use_appdirs(const Args &args, std::string_view command)
{
    if (auto given = args.get("appdirs")) {
        appdir_list = *given;
    } else if (const char *from_environment = std::getenv("PSENV_APPDIRS")) {
        appdir_list = from_environment;
    } else {
        usage_error("no application directories: give --appdirs or set PSENV_APPDIRS", command);
        return false;
    }
    setAppdirValue(appdir_list.c_str());
    return true;
}

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

int report_found(int entry, const char *path, const std::string &name)
{
    if (entry == 0) {
        error("'" + name + "' not found in the application directories");
        return kExitFailure;
    }
    std::printf("%s\t%d\n", path, entry);
    return kExitOk;
}

}  // namespace

int cmd_find(int argc, char **argv)
{
    int exit_status = kExitOk;
    auto args = parse_command(argc, argv, 1,
                              {{"help", false}, {"subdir", true}, {"suffix", true}, {"mode", true},
                               {"appdirs", true}},
                              "find", kFindHelp, exit_status);
    if (!args)
        return exit_status;
    if (args->operands.size() != 1)
        return usage_error("find needs exactly one NAME", "find");
    const std::optional<int> mode = parse_mode(args->get("mode").value_or("0"));
    if (!mode)
        return usage_error("bad --mode '" + args->get("mode").value_or("") + "'", "find");
    if (!use_appdirs(*args, "find"))
        return kExitUsage;
    const std::string &name = args->operands[0];
    const std::string subdir = args->get("subdir").value_or("");
    const std::optional<std::string> suffix = args->get("suffix");
    char path[DIRSEARCH_MAX_CANDIDATE + 1] = "";
    const int entry = appdirFind(name.c_str(), subdir.c_str(), path,
                                 suffix ? suffix->c_str() : nullptr, *mode);
    return report_found(entry, path, name);
}

int cmd_access(int argc, char **argv)
{
    int exit_status = kExitOk;
    auto args = parse_command(argc, argv, 1,
                              {{"help", false}, {"appdirs", true}},
                              "access", kAccessHelp, exit_status);
    if (!args)
        return exit_status;
    if (args->operands.size() != 1)
        return usage_error("access needs exactly one NAME", "access");
    if (!use_appdirs(*args, "access"))
        return kExitUsage;
    const std::string &name = args->operands[0];
    char path[DIRSEARCH_MAX_CANDIDATE + 1] = "";
    return report_found(appdirAccess(name.c_str(), path), path, name);
}

int cmd_match(int argc, char **argv)
{
    int exit_status = kExitOk;
    auto args = parse_command(argc, argv, 1, {{"help", false}}, "match", kMatchHelp, exit_status);
    if (!args)
        return exit_status;
    if (args->operands.empty())
        return usage_error("match needs a PATTERN", "match");
    const std::string &pattern = args->operands[0];
    bool any = false;
    auto try_name = [&](const std::string &name) {
        if (nscmp(pattern.c_str(), name.c_str()) == 1) {
            std::printf("%s\n", name.c_str());
            any = true;
        }
    };
    if (args->operands.size() > 1) {
        for (std::size_t i = 1; i < args->operands.size(); ++i)
            try_name(args->operands[i]);
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

}  // namespace psenv
