// psenv par check: the strict check of a parameter file on its own.
#include <string>

#include "core/command.h"
#include "core/file_problems.h"

namespace psenv::par {
namespace {

int run(const Call &call)
{
    if (call.args.operands.size() != 1)
        return call.usage("par check needs exactly one parameter file");
    const std::string &path = call.args.operands.front();
    const Checked checked = check_reported(path, path);
    switch (checked.whole) {
    case Whole::kYes:
        return checked.repeats == 0 ? kExitOk : kExitFailure;
    case Whole::kNo:
        return kExitFailure;
    case Whole::kUnreadable:
        break;
    }
    return kExitUsage;
}

}  // namespace

extern constinit const Command kCheck{
    .name = "check",
    .summary = "the strict check that every record of the file is whole",
    .usage = "FILE",
    .help = "Checks that every record of the parameter file FILE is whole: its name,\n"
            "the eleven header fields, each count followed by that many values, every\n"
            "string closed, and the line break that ends the record.  The loaders take\n"
            "a file cut after a count or a real as ending there, without a message;\n"
            "'par set' and 'par merge' run this check and refuse a damaged file, and\n"
            "'par show', 'get', 'names' and 'diff' show nothing of one.\n"
            "\n"
            "Prints one line per problem: FILE:LINE: record N: 'NAME': what is wrong.\n"
            "Where a record left the layout the files are written in (a header on one\n"
            "line, a list of reals on the line of its count) before it went wrong, the\n"
            "line it left is named.  A record whose name an earlier record has is\n"
            "reported too, with the lines of both: a load keeps only the last.\n"
            "\n"
            "Exit status: 0 the file is whole, 1 it is damaged or repeats a name, 2 it\n"
            "cannot be read or usage error.",
    .run = run,
};

}  // namespace psenv::par
