// psenv par diff: compare two parameter files parameter by parameter.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "cli.h"
#include "par/param_trees.h"
#include "par/changes.h"
#include "par/text_forms.h"
#include "par/file_problems.h"

namespace psenv::par {
namespace {

constexpr const char *kCommand = "par diff";

void print_help()
{
    std::puts("Usage: psenv par diff A B\n\n"
              "Compares the parameter files A and B parameter by parameter, in name\n"
              "order, whatever the order of their records:\n\n"
              "  - NAME                 only in A\n"
              "  + NAME                 only in B\n"
              "  ~ NAME FIELD: a -> b   FIELD differs (type, values, enumeration, min,\n"
              "                         max, step, group, dgroup, subtype, active, prot)\n\n"
              "Values are compared as the files hold them (12 significant digits).\n"
              "Both files are checked first as by 'psenv par check'; of a damaged file\n"
              "the problems are printed and nothing is compared.\n\n"
              "Exit status: 0 the files hold the same parameters, 1 they differ, 2 a\n"
              "file cannot be read or is damaged (nothing is compared), or usage error.");
}

}  // namespace

std::vector<std::string> field_changes(const Param &a, const Param &b)
{
    std::vector<std::string> changes;
    auto add = [&changes](const char *field, const std::string &from, const std::string &to) {
        changes.push_back(std::string(field) + ": " + from + " -> " + to);
    };
    auto list = [](const ValueList &values) {
        return values.count() == 0 ? std::string("(none)") : list_text(values);
    };
    if (a.type != b.type)
        add("type", type_name(a.type), type_name(b.type));
    if (!(a.values == b.values))
        add("values", list(a.values), list(b.values));
    if (!(a.enumeration == b.enumeration))
        add("enumeration", list(a.enumeration), list(b.enumeration));
    if (!same_real(a.min, b.min))
        add("min", real_text(a.min), real_text(b.min));
    if (!same_real(a.max, b.max))
        add("max", real_text(a.max), real_text(b.max));
    if (!same_real(a.step, b.step))
        add("step", real_text(a.step), real_text(b.step));
    if (a.group != b.group)
        add("group", std::to_string(a.group), std::to_string(b.group));
    if (a.dgroup != b.dgroup)
        add("dgroup", std::to_string(a.dgroup), std::to_string(b.dgroup));
    if (a.subtype != b.subtype)
        add("subtype", std::to_string(a.subtype), std::to_string(b.subtype));
    if (a.active != b.active)
        add("active", std::to_string(a.active), std::to_string(b.active));
    if (a.prot != b.prot)
        add("prot", prot_text(a.prot), prot_text(b.prot));
    return changes;
}

std::vector<std::string> tree_changes(const std::vector<Param> &a, const std::vector<Param> &b)
{
    std::vector<std::string> lines;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() || j < b.size()) {
        const int order = i == a.size()   ? 1
                          : j == b.size() ? -1
                                          : a[i].name.compare(b[j].name);
        if (order < 0) {
            lines.push_back("- " + name_text(a[i++].name));
        } else if (order > 0) {
            lines.push_back("+ " + name_text(b[j++].name));
        } else {
            for (const std::string &change : field_changes(a[i], b[j]))
                lines.push_back("~ " + name_text(a[i].name) + " " + change);
            ++i;
            ++j;
        }
    }
    return lines;
}

int diff(int argc, char **argv)
{
    int exit_status = kExitOk;
    auto args = parse_command(argc, argv, 1, {{"help", false}}, kCommand, print_help, exit_status);
    if (!args)
        return exit_status;
    if (args->operands.size() != 2)
        return usage_error("par diff needs exactly two parameter files", kCommand);
    // As diff(1): trouble is not a difference.  A file read only in part
    // would show its missing records as differences.  Both are checked, so
    // that one run names the problems of both.
    const bool whole_a = check_before_reading(args->operands[0], false) == Reading::kWhole;
    const bool whole_b = check_before_reading(args->operands[1], false) == Reading::kWhole;
    if (!whole_a || !whole_b)
        return kExitUsage;
    const Load load_a = load_file(kTreeA, args->operands[0]);
    const Load load_b = load_file(kTreeB, args->operands[1]);
    if (load_a != Load::kComplete || load_b != Load::kComplete) {
        for (const auto &[load, path] : {std::pair{load_a, args->operands[0]},
                                          std::pair{load_b, args->operands[1]}})
            if (load == Load::kIncomplete)
                suggest_check(path);
        return kExitUsage;
    }
    const std::vector<std::string> lines = tree_changes(collect(kTreeA), collect(kTreeB));
    for (const std::string &line : lines)
        std::puts(line.c_str());
    return lines.empty() ? kExitOk : kExitFailure;
}

}  // namespace psenv::par
