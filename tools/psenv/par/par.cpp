// psenv par: show, query, edit, compare and merge parameter files.
#include "core/command.h"

namespace psenv::par {

extern constinit const Command kPar{
    .name = "par",
    .summary = "show, query, edit, compare and merge parameter files",
    .help = "Parameter files: the text files that hold the parameters of one tree.\n"
            "\n"
            "{commands}\n"
            "\n"
            "Every subcommand checks its files first as 'check' does: the readers show\n"
            "nothing of a damaged file but its problems (--lenient shows what the\n"
            "loader reads, said to be so).\n"
            "\n"
            "Files are always replaced whole: a new file is written beside the old one\n"
            "and renamed over it, so a failed save leaves the old file as it was.  set\n"
            "and merge lock the file's directory, refuse targets that are not regular\n"
            "files, damaged files and (without --force) files they may not write, that\n"
            "have several hard links or whose records repeat a name.\n"
            "\n"
            "Exit status: 0 success or same, 1 failure, refusal, difference or damage,\n"
            "2 usage error; diff gives 2 for a file it cannot read or that is damaged,\n"
            "check for a file it cannot read.\n"
            "\n"
            "Run 'psenv par <subcommand> --help' for its details.",
    .command_column = 10,
};

}  // namespace psenv::par
