// psenv par show: a parameter file as a table.
#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "core/command.h"
#include "core/file_problems.h"
#include "par/param_trees.h"
#include "par/text_forms.h"
#include "treekeep.h"

namespace psenv::par {
namespace {

// Long arrays and long texts are shortened so that a row stays readable.
constexpr std::size_t kListLimit = 6;
constexpr std::size_t kTextWidth = 32;

using Row = std::array<std::string, 10>;

Row header_row()
{
    return {"name", "type", "values", "enumeration", "limits",
            "group", "dgroup", "subtype", "active", "prot"};
}

Row row_of(const Param &param)
{
    const std::string values = list_text(param.values, kListLimit, kTextWidth);
    const std::string enumeration = list_text(param.enumeration, kListLimit, kTextWidth);
    return {name_text(param.name),
            type_name(param.type),
            values.empty() ? "-" : values,
            enumeration.empty() ? "-" : enumeration,
            limits_text(param),
            std::to_string(param.group),
            std::to_string(param.dgroup),
            std::to_string(param.subtype),
            param.active != 0 ? "yes" : "no",
            prot_text(param.prot)};
}

void print_table(const std::vector<Row> &rows)
{
    std::array<std::size_t, 10> width{};
    for (const Row &row : rows)
        for (std::size_t c = 0; c < row.size(); ++c)
            width[c] = std::max(width[c], row[c].size());
    for (const Row &row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size())
                line.append(width[c] - row[c].size() + 2, ' ');
        }
        std::puts(line.c_str());
    }
}

int run(const Call &call)
{
    const Args &args = call.args;
    if (args.operands.empty())
        return call.usage("par show needs a parameter file");
    const std::string &path = args.operands.front();
    const Reading reading = check_before_reading(path, args.has("lenient"));
    if (reading == Reading::kStop)
        return kExitFailure;
    const Load load = load_file(kFileTree, path);
    if (load == Load::kFailed)
        return kExitFailure;
    if (load == Load::kIncomplete && reading == Reading::kWhole)
        suggest_check(path);

    int status = load == Load::kComplete && reading == Reading::kWhole ? kExitOk : kExitFailure;
    if (reading == Reading::kLenient)
        std::puts(("(damaged file " + name_text(path) +
                   ": what the loader reads of it, which may be wrong or incomplete)")
                      .c_str());
    std::vector<Row> rows{header_row()};
    if (args.operands.size() == 1) {
        for (const Param &param : collect(kFileTree))
            rows.push_back(row_of(param));
    } else {
        for (std::size_t i = 1; i < args.operands.size(); ++i) {
            Param param;
            if (find_param(kFileTree, args.operands[i], param)) {
                rows.push_back(row_of(param));
            } else {
                error(store_words(P_NOVAR, args.operands[i]));
                status = kExitFailure;
            }
        }
    }
    print_table(rows);
    return status;
}

constexpr Option kOptions[] = {
    {"lenient", "",
     "show a damaged file anyway, as the loader reads it, under a\n"
     "first line that says so (the status stays 1)"},
};

}  // namespace

extern constinit const Command kShow{
    .name = "show",
    .summary = "a table of the parameters and all their attributes",
    .usage = "FILE [NAME...] [--lenient]",
    .options = kOptions,
    .help = "Prints the parameters of the parameter file FILE as a table, in name\n"
            "order, or only the parameters NAME... in the order given:\n"
            "\n"
            "  name         the parameter's name\n"
            "  type         real or string\n"
            "  values       the values; strings quoted with \\\" \\\\ \\n escapes; more than\n"
            "               6 values are shortened to the first 5 and the count\n"
            "  enumeration  the values the parameter may take ('-': any)\n"
            "  limits       min..max and the step; parmin[i]..parmax[i] when the\n"
            "               limits are positions in the system arrays\n"
            "  group, dgroup, subtype, active\n"
            "  prot         protection bits in hexadecimal (0x0001 write protected,\n"
            "               0x2000 indirect limits, 0x4000 taken by merge, 0x8000\n"
            "               unshared)\n"
            "\n"
            "FILE is checked first as by 'psenv par check': a damaged file is not\n"
            "shown, its problems are.\n"
            "\n"
            "{options}\n"
            "\n"
            "Exit status: 0 success, 1 failure (unreadable or damaged file, missing\n"
            "name), 2 usage error.",
    .option_column = 14,
    .run = run,
};

}  // namespace psenv::par
