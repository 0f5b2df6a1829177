// psenv par set: change or add one parameter of a file and save it.
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "core/command.h"
#include "core/numbers.h"
#include "par/guarded_edit.h"
#include "par/param_trees.h"
#include "par/set_rules.h"
#include "par/text_forms.h"
#include "par/value_rules.h"
#include "treekeep.h"

namespace psenv::par {
namespace {

// Most values a parameter holds: its record's count is a 16-bit field.
constexpr std::size_t kMostValues = P_MOST_VALUES;

// Protection bits: decimal, or hexadecimal after "0x" as `show` prints them.
std::optional<int> protection_bits(const std::string &text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        if (text.size() > 10)
            return std::nullopt;
        long long bits = 0;
        for (std::size_t i = 2; i < text.size(); ++i) {
            const char c = text[i];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0)
                return std::nullopt;
            bits = bits * 16 + digit;
        }
        if (bits > 0x7fffffff)
            return std::nullopt;
        return static_cast<int>(bits);
    }
    const auto bits = parse_whole(text, 0, 0x7fffffff);
    if (!bits)
        return std::nullopt;
    return static_cast<int>(*bits);
}

// The options of a new parameter, or a usage error.
int new_attributes(const Call &call, NewAttributes &attributes)
{
    const Args &args = call.args;
    const double huge = std::numeric_limits<double>::max();
    struct RealOption {
        const char *name;
        double low;
        std::optional<double> *into;
    };
    for (const RealOption &option : {RealOption{"min", -huge, &attributes.min},
                                     RealOption{"max", -huge, &attributes.max},
                                     RealOption{"step", 0.0, &attributes.step}}) {
        const auto text = args.get(option.name);
        if (!text)
            continue;
        *option.into = parse_decimal(*text, option.low, huge);
        if (!*option.into)
            return bad_number(std::string("--") + option.name, *text,
                              option.low == 0.0 ? "a finite real of 0 or more" : "a finite real",
                              call.command);
    }
    if (attributes.min && attributes.max && *attributes.min > *attributes.max)
        return call.usage("--min is above --max");
    if (const auto text = args.get("group")) {
        const auto group = parse_whole(*text, 0, 7);
        if (!group)
            return bad_number("--group", *text, "a whole number from 0 to 7", call.command);
        attributes.group = static_cast<int>(*group);
    }
    if (const auto text = args.get("prot")) {
        attributes.prot = protection_bits(*text);
        if (!attributes.prot)
            return bad_number("--prot", *text,
                              "protection bits (decimal or 0x hexadecimal, at most 0x7fffffff)",
                              call.command);
    }
    return kExitOk;
}

// A new parameter: real when every value is a number, with the attributes
// the options give, and the values checked against them.
int create(const std::string &name, const std::vector<std::string> &values,
            const NewAttributes &attributes, Param &param)
{
    int type = T_REAL;
    for (const std::string &text : values) {
        // nan or 1e999 is a number gone wrong, not a text.
        if (unusable_number(text))
            return refuse(name, {P_TYPE, quoted(text) + " is not a finite number in range"});
        if (!value_real(text))
            type = T_STRING;
    }
    return create_parameter(kFileTree, name, type, values, attributes, param);
}

int run(const Call &call)
{
    const auto &operands = call.args.operands;
    if (operands.size() < 3)
        return call.usage("par set needs a parameter file, a name and at least one value");
    if (operands.size() - 2 > kMostValues)
        return call.usage("a parameter holds at most 32767 values");
    NewAttributes attributes;
    if (const int status = new_attributes(call, attributes); status != kExitOk)
        return status;
    const std::string &path = operands[0];
    const std::string &name = operands[1];
    const std::vector<std::string> values(operands.begin() + 2, operands.end());

    double wait = 0.0;
    if (const int status = lock_wait(call, wait); status != kExitOk)
        return status;

    Edit edit;
    if (const int status = edit.begin(path, call.args.has("force"), wait); status != kExitOk)
        return status;
    switch (load_file(kFileTree, edit.file())) {
    case Load::kComplete:
        break;
    case Load::kIncomplete:
        error(path + ": not all of the file could be read; it was left unchanged");
        return kExitFailure;
    case Load::kFailed:
        return kExitFailure;
    }
    Param param;
    const bool created = !find_param(kFileTree, name, param);
    if (!created && attributes.any()) {
        error(name_text(name) + ": the file holds this parameter; --min, --max, --step, --group "
                                "and --prot only describe a new one; the file was left unchanged");
        return kExitFailure;
    }
    if (!created && (param.prot & kWriteProtect) != 0)
        return refuse(name, {P_PROT, ""});
    if (const int status = created ? create(name, values, attributes, param)
                                   : values_allowed(kFileTree, param, values);
        status != kExitOk)
        return status;
    if (const int code = assign_values(kFileTree, param, values); code != P_OK) {
        error(store_words(code, name));
        return kExitFailure;
    }
    if (const int status = refuse_unsavable(kFileTree, path); status != kExitOk)
        return status;
    if (const int status = edit.save(kFileTree); status != kExitOk)
        return status;
    // A misspelt name makes a new parameter instead of changing the one meant.
    if (created)
        error("created new " + type_name(param.type) + " parameter '" + name_text(name) + "'");
    return kExitOk;
}

constexpr Option kOptions[] = {
    {"force", "",
     "replace FILE even without write permission on it or\n"
     "when it has several hard links (the others keep the\n"
     "old content), or when records repeat a name (a save\n"
     "keeps only the last of them)"},
    {"wait", "SECONDS", "wait at most this long for another editor (default 10)"},
    {"min", "X", "its limits (a real parameter; checked when max > min)", "--min X, --max X"},
    {"max", "X"},
    {"step", "X", "its step (a real parameter; checked when above 0)"},
    {"group", "N", "its group, 0 to 7"},
    {"prot", "BITS", "its protection bits, decimal or 0x hexadecimal"},
};

}  // namespace

extern constinit const Command kSet{
    .name = "set",
    .summary = "change (or add) one parameter, checked against its limits,\n"
               "step, enumeration and write protection, and save the file",
    .usage = "FILE NAME VALUE... [--force] [--wait SECONDS]\n"
             "                     [--min X] [--max X] [--step X] [--group N] [--prot BITS]",
    .options = kOptions,
    .help = "Makes VALUE... the values of the parameter NAME in the parameter file FILE\n"
            "and saves the file (written beside it and renamed over it, with its owner,\n"
            "group and permission bits).\n"
            "\n"
            "An existing parameter keeps its kind, attributes and enumeration; every\n"
            "value must be allowed by them:\n"
            "  write protection (prot bit 0x0001)       Variable is write protected\n"
            "  a real parameter takes numbers only      Wrong type\n"
            "  at most max, at least min (if max > min) Value exceeds upper/lower limit\n"
            "  a whole multiple of step (if step > 0)   Value violates step size\n"
            "  one of the enumeration (if it has one)   Value violates enum type\n"
            "Limits held in parmin/parmax are taken from those arrays in FILE.\n"
            "Numbers are decimal or hexadecimal reals, finite, without blanks around\n"
            "them; nan and inf are refused.\n"
            "Strings longer than 1022 characters cannot be read back and are refused.\n"
            "Use '--' before values that begin with '--'.\n"
            "\n"
            "A NAME the file does not hold is created, and standard error says so\n"
            "('psenv: created new real parameter 'NAME'').  It is real when every\n"
            "value is a number, else string.  These options describe it (0 when not\n"
            "given) and are refused for an existing parameter:\n"
            "{options min max step group prot}\n"
            "The values are checked against the limits and step given.\n"
            "\n"
            "FILE must be a regular file (a symbolic link to one is followed) that\n"
            "passes 'psenv par check'.  One editor at a time changes the files of a\n"
            "directory; another waits for it.\n"
            "\n"
            "{options}\n"
            "\n"
            "Exit status: 0 saved, 1 refused or failed (the file is then unchanged),\n"
            "2 usage error.",
    .option_column = 19,
    .run = run,
};

}  // namespace psenv::par
