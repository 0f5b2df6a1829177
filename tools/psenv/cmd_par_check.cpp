// psenv par check: the strict check of a parameter file on its own.
#include <cstdio>
#include <string>

#include "cli.h"
#include "cmd_par.h"
#include "par_edit.h"

namespace psenv::par {
namespace {

constexpr const char *kCommand = "par check";

void print_help()
{
    std::puts("Usage: psenv par check FILE\n\n"
              "Checks that every record of the parameter file FILE is whole: its name,\n"
              "the eleven header fields, each count followed by that many values, every\n"
              "string closed, and the line break that ends the record.  The loaders take\n"
              "a file cut after a count or a real as ending there, without a message;\n"
              "'par set' and 'par merge' run this check and refuse a damaged file.\n\n"
              "Prints one line per problem: FILE:LINE: record N: 'NAME': what is wrong.\n\n"
              "Exit status: 0 the file is whole, 1 it is damaged, 2 it cannot be read\n"
              "or usage error.");
}

}  // namespace

int check(int argc, char **argv)
{
    int exit_status = kExitOk;
    auto args = parse_command(argc, argv, 1, {{"help", false}}, kCommand, print_help, exit_status);
    if (!args)
        return exit_status;
    if (args->operands.size() != 1)
        return usage_error("par check needs exactly one parameter file", kCommand);
    switch (check_file(args->operands.front())) {
    case Whole::kYes:
        return kExitOk;
    case Whole::kNo:
        return kExitFailure;
    case Whole::kUnreadable:
        break;
    }
    return kExitUsage;
}

}  // namespace psenv::par
