// psenv par diff: compare two parameter files parameter by parameter.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "core/command.h"
#include "core/file_problems.h"
#include "par/changes.h"
#include "par/param_trees.h"

namespace psenv::par {
namespace {

int run(const Call &call)
{
    const Args &args = call.args;
    if (args.operands.size() != 2)
        return call.usage("par diff needs exactly two parameter files");
    // As diff(1): trouble is not a difference.  A file read only in part
    // would show its missing records as differences.  Both are checked, so
    // that one run names the problems of both.
    const bool whole_a = check_before_reading(args.operands[0], false) == Reading::kWhole;
    const bool whole_b = check_before_reading(args.operands[1], false) == Reading::kWhole;
    if (!whole_a || !whole_b)
        return kExitUsage;
    const Load load_a = load_file(kFileTree, args.operands[0]);
    const Load load_b = load_file(kSecondFileTree, args.operands[1]);
    if (load_a != Load::kComplete || load_b != Load::kComplete) {
        for (const auto &[load, path] : {std::pair{load_a, args.operands[0]},
                                          std::pair{load_b, args.operands[1]}})
            if (load == Load::kIncomplete)
                suggest_check(path);
        return kExitUsage;
    }
    const std::vector<std::string> lines =
        tree_changes(collect(kFileTree), collect(kSecondFileTree));
    for (const std::string &line : lines)
        std::puts(line.c_str());
    return lines.empty() ? kExitOk : kExitFailure;
}

}  // namespace

extern constinit const Command kDiff{
    .name = "diff",
    .summary = "parameters only in A, only in B, or different in both",
    .usage = "A B",
    .help = "Compares the parameter files A and B parameter by parameter, in name\n"
            "order, whatever the order of their records:\n"
            "\n"
            "  - NAME                 only in A\n"
            "  + NAME                 only in B\n"
            "  ~ NAME FIELD: a -> b   FIELD differs (type, values, enumeration, min,\n"
            "                         max, step, group, dgroup, subtype, active, prot)\n"
            "\n"
            "Values are compared as the files hold them (12 significant digits).\n"
            "Both files are checked first as by 'psenv par check'; of a damaged file\n"
            "the problems are printed and nothing is compared.\n"
            "\n"
            "Exit status: 0 the files hold the same parameters, 1 they differ, 2 a\n"
            "file cannot be read or is damaged (nothing is compared), or usage error.",
    .run = run,
    .answers_with_1 = true,
};

}  // namespace psenv::par
