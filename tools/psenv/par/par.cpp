// psenv par: show, query, edit, compare and merge parameter files.
#include <cstdio>
#include <string>
#include <string_view>

#include "cli.h"
#include "par/param_trees.h"
#include "commands.h"

namespace psenv {
namespace {

void print_help()
{
    std::puts("Usage: psenv par show FILE [NAME...] [--lenient]\n"
              "       psenv par get FILE NAME [INDEX] [--lenient]\n"
              "       psenv par set FILE NAME VALUE... [--force] [--wait SECONDS]\n"
              "                     [--min X] [--max X] [--step X] [--group N] [--prot BITS]\n"
              "       psenv par names FILE [--lenient]\n"
              "       psenv par diff A B\n"
              "       psenv par merge DEST SRC [--all] [--clear-bit] [--quiet] [--force]\n"
              "                       [--wait SECONDS]\n"
              "       psenv par check FILE\n\n"
              "Parameter files: the text files that hold the parameters of one tree.\n\n"
              "  show    a table of the parameters and all their attributes\n"
              "  get     the values of one parameter, one per line\n"
              "  set     change (or add) one parameter, checked against its limits,\n"
              "          step, enumeration and write protection, and save the file\n"
              "  names   the names of the file's records in file order\n"
              "  diff    parameters only in A, only in B, or different in both\n"
              "  merge   the selective transfer of SRC into DEST, then save DEST\n"
              "  check   the strict check that every record of the file is whole\n\n"
              "Every subcommand checks its files first as 'check' does: the readers show\n"
              "nothing of a damaged file but its problems (--lenient shows what the\n"
              "loader reads, said to be so).\n\n"
              "Files are always replaced whole: a new file is written beside the old one\n"
              "and renamed over it, so a failed save leaves the old file as it was.  set\n"
              "and merge lock the file's directory, refuse targets that are not regular\n"
              "files, damaged files and (without --force) files they may not write, that\n"
              "have several hard links or whose records repeat a name.\n\n"
              "Exit status: 0 success or same, 1 failure, refusal, difference or damage,\n"
              "2 usage error; diff gives 2 for a file it cannot read or that is damaged,\n"
              "check for a file it cannot read.\n\n"
              "Run 'psenv par <subcommand> --help' for its details.");
}

struct Subcommand {
    std::string_view name;
    int (*run)(int, char **);
};

constexpr Subcommand kSubcommands[] = {
    {"show", par::show}, {"get", par::get},   {"set", par::set},
    {"names", par::names}, {"diff", par::diff}, {"merge", par::merge},
    {"check", par::check},
};

}  // namespace

int cmd_par(int argc, char **argv)
{
    if (argc < 2)
        return usage_error("par: missing subcommand", "par");
    const std::string_view word = argv[1];
    if (word == "--help" || word == "-h") {
        print_help();
        return kExitOk;
    }
    for (const auto &subcommand : kSubcommands)
        if (subcommand.name == word)
            return subcommand.run(argc - 1, argv + 1);
    return usage_error("par: unknown subcommand '" + std::string(word) + "'", "par");
}

}  // namespace psenv
