// psenv par get and psenv par names: values and names for scripts.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>
#include <string_view>

#include "cli.h"
#include "par/param_trees.h"
#include "memalloc.h"
#include "par/text_forms.h"
#include "par/file_problems.h"
#include "treekeep.h"

namespace psenv::par {
namespace {

// Texts read from a file are at most 1023 characters long.
constexpr int kTextBuffer = 1024;

void print_get_help()
{
    std::puts("Usage: psenv par get FILE NAME [INDEX] [--lenient]\n\n"
              "Prints the values of the parameter NAME of the parameter file FILE, one\n"
              "per line: reals with 12 significant digits, strings as they are.  With\n"
              "INDEX (1-based) only that value.\n\n"
              "FILE is checked first as by 'psenv par check': nothing of a damaged file\n"
              "is printed, its problems are.\n\n"
              "  --lenient   print the values of a damaged file anyway, as the loader\n"
              "              reads them (standard error says so; the status stays 1)\n\n"
              "Exit status: 0 success, 1 failure (unreadable or damaged file, missing\n"
              "parameter, index out of bounds), 2 usage error.");
}

void print_names_help()
{
    std::puts("Usage: psenv par names FILE [--lenient]\n\n"
              "Prints the names of the records of the parameter file FILE, one per line,\n"
              "in file order, without loading the parameters.  Backslashes and control\n"
              "characters in a name are escaped (\\\\, \\n, \\t, \\r, \\xNN).\n\n"
              "FILE is checked first as by 'psenv par check': nothing of a damaged file\n"
              "is printed, its problems are.\n\n"
              "  --lenient   print the names of a damaged file anyway, as the loader\n"
              "              reads them (standard error says so; the status stays 1)\n\n"
              "Exit status: 0 success, 1 failure (unreadable or damaged file), 2 usage\n"
              "error.");
}

// Prints value `index` of `name`; the store's code.
int print_value(const std::string &name, int type, int index)
{
    if (type == T_STRING) {
        char text[kTextBuffer];
        const int code = P_getstring(kTreeA, name.c_str(), text, index, kTextBuffer);
        if (code == P_OK)
            std::puts(text);
        return code;
    }
    double value = 0.0;
    const int code = P_getreal(kTreeA, name.c_str(), &value, index);
    if (code == P_OK)
        std::puts(real_text(value).c_str());
    return code;
}

}  // namespace

int get(int argc, char **argv)
{
    constexpr const char *kCommand = "par get";
    int exit_status = kExitOk;
    auto args = parse_command(argc, argv, 1, {{"help", false}, {"lenient", false}}, kCommand,
                              print_get_help, exit_status);
    if (!args)
        return exit_status;
    const auto &operands = args->operands;
    if (operands.size() < 2 || operands.size() > 3)
        return usage_error("par get needs a parameter file, a name and at most one index",
                           kCommand);
    int index = 0;
    if (operands.size() == 3) {
        const auto parsed = parse_integer(operands[2]);
        if (!parsed || *parsed < INT_MIN || *parsed > INT_MAX)
            return usage_error("index '" + operands[2] + "' is not an integer", kCommand);
        index = static_cast<int>(*parsed);
    }
    const Reading reading = check_before_reading(operands[0], args->has("lenient"));
    if (reading == Reading::kStop)
        return kExitFailure;
    const Load load = load_file(kTreeA, operands[0]);
    if (load == Load::kFailed)
        return kExitFailure;
    if (load == Load::kIncomplete && reading == Reading::kWhole)
        suggest_check(operands[0]);

    const std::string &name = operands[1];
    vInfo info{};
    int code = P_getVarInfo(kTreeA, name.c_str(), &info);
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

int names(int argc, char **argv)
{
    constexpr const char *kCommand = "par names";
    int exit_status = kExitOk;
    auto args = parse_command(argc, argv, 1, {{"help", false}, {"lenient", false}}, kCommand,
                              print_names_help, exit_status);
    if (!args)
        return exit_status;
    if (args->operands.size() != 1)
        return usage_error("par names needs exactly one parameter file", kCommand);
    const std::string &path = args->operands.front();
    const Reading reading = check_before_reading(path, args->has("lenient"));
    if (reading == Reading::kStop)
        return kExitFailure;

    char *list = nullptr;
    int code = P_OK;
    const int messages =
        with_loader_messages(path, [&] { code = P_readnames(path.c_str(), &list); });
    if (code != P_OK) {
        report(code, path, ": ");
        return kExitFailure;
    }
    if (messages != 0 && reading == Reading::kWhole)
        suggest_check(path);
    if (list != nullptr) {
        // Names hold no white space, so the blank-separated list splits cleanly.
        const std::string all = list;
        release(list);
        std::size_t start = 0;
        while (start <= all.size()) {
            const std::size_t end = std::min(all.find(' ', start), all.size());
            std::puts(name_text(std::string_view(all).substr(start, end - start)).c_str());
            start = end + 1;
        }
    }
    return messages == 0 && reading == Reading::kWhole ? kExitOk : kExitFailure;
}

}  // namespace psenv::par
