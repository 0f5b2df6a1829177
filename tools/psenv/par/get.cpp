// psenv par get: the values of one parameter, for scripts.
#include <climits>
#include <cstdio>
#include <string>
#include <string_view>

#include "core/command.h"
#include "core/file_problems.h"
#include "core/numbers.h"
#include "par/param_trees.h"
#include "par/text_forms.h"
#include "treekeep.h"

namespace psenv::par {
namespace {

// Texts read from a file are at most 1023 characters long.
constexpr int kTextBuffer = 1024;

// Prints value `index` of `name`; the store's code.
int print_value(const std::string &name, int type, int index)
{
    if (type == T_STRING) {
        char text[kTextBuffer];
        const int code = P_getstring(kFileTree, name.c_str(), text, index, kTextBuffer);
        if (code == P_OK)
            std::puts(text);
        return code;
    }
    double value = 0.0;
    const int code = P_getreal(kFileTree, name.c_str(), &value, index);
    if (code == P_OK)
        std::puts(real_text(value).c_str());
    return code;
}

int run(const Call &call)
{
    const Args &args = call.args;
    const auto &operands = args.operands;
    if (operands.size() < 2 || operands.size() > 3)
        return call.usage("par get needs a parameter file, a name and at most one index");
    int index = 0;
    if (operands.size() == 3) {
        const auto parsed = parse_integer(operands[2]);
        if (!parsed || *parsed < INT_MIN || *parsed > INT_MAX)
            return call.usage("index '" + operands[2] + "' is not an integer");
        index = static_cast<int>(*parsed);
    }
    const Reading reading = check_before_reading(operands[0], args.has("lenient"));
    if (reading == Reading::kStop)
        return kExitFailure;
    const Load load = load_file(kFileTree, operands[0]);
    if (load == Load::kFailed)
        return kExitFailure;
    if (load == Load::kIncomplete && reading == Reading::kWhole)
        suggest_check(operands[0]);

    const std::string &name = operands[1];
    vInfo info{};
    int code = P_getVarInfo(kFileTree, name.c_str(), &info);
    if (code == P_OK) {
        if (operands.size() == 3) {
            code = print_value(name, info.type, index);
        } else {
            for (int i = 1; i <= info.size && code == P_OK; ++i)
                code = print_value(name, info.type, i);
        }
    }
    if (code != P_OK) {
        error(store_words(code, name));
        return kExitFailure;
    }
    return load == Load::kComplete && reading == Reading::kWhole ? kExitOk : kExitFailure;
}

constexpr Option kOptions[] = {
    {"lenient", "",
     "print the values of a damaged file anyway, as the loader\n"
     "reads them (standard error says so; the status stays 1)"},
};

}  // namespace

extern constinit const Command kGet{
    .name = "get",
    .summary = "the values of one parameter, one per line",
    .usage = "FILE NAME [INDEX] [--lenient]",
    .options = kOptions,
    .help = "Prints the values of the parameter NAME of the parameter file FILE, one\n"
            "per line: reals with 12 significant digits, strings as they are.  With\n"
            "INDEX (1-based) only that value.\n"
            "\n"
            "FILE is checked first as by 'psenv par check': nothing of a damaged file\n"
            "is printed, its problems are.\n"
            "\n"
            "{options}\n"
            "\n"
            "Exit status: 0 success, 1 failure (unreadable or damaged file, missing\n"
            "parameter, index out of bounds), 2 usage error.",
    .option_column = 14,
    .run = run,
};

}  // namespace psenv::par
