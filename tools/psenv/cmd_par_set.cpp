// psenv par set: change or add one parameter of a file and save it.
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "cli.h"
#include "cmd_par.h"
#include "par_check.h"
#include "par_edit.h"
#include "par_format.h"
#include "par_set_rules.h"
#include "treekeep.h"

namespace psenv::par {
namespace {

constexpr const char *kCommand = "par set";

constexpr std::size_t kMostValues = P_MOST_VALUES;

void print_help()
{
    std::puts("Usage: psenv par set FILE NAME VALUE... [--force] [--wait SECONDS]\n"
              "                     [--min X] [--max X] [--step X] [--group N] [--prot BITS]\n\n"
              "Makes VALUE... the values of the parameter NAME in the parameter file FILE\n"
              "and saves the file (written beside it and renamed over it, with its owner,\n"
              "group and permission bits).\n\n"
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
              "Use '--' before values that begin with '--'.\n\n"
              "A NAME the file does not hold is created, and standard error says so\n"
              "('psenv: created new real parameter 'NAME'').  It is real when every\n"
              "value is a number, else string.  These options describe it (0 when not\n"
              "given) and are refused for an existing parameter:\n"
              "  --min X, --max X  its limits (a real parameter; checked when max > min)\n"
              "  --step X          its step (a real parameter; checked when above 0)\n"
              "  --group N         its group, 0 to 7\n"
              "  --prot BITS       its protection bits, decimal or 0x hexadecimal\n"
              "The values are checked against the limits and step given.\n\n"
              "FILE must be a regular file (a symbolic link to one is followed) that\n"
              "passes 'psenv par check'.  One editor at a time changes the files of a\n"
              "directory; another waits for it.\n\n"
              "  --force          replace FILE even without write permission on it or\n"
              "                   when it has several hard links (the others keep the\n"
              "                   old content), or when records repeat a name (a save\n"
              "                   keeps only the last of them)\n"
              "  --wait SECONDS   wait at most this long for another editor (default 10)\n\n"
              "Exit status: 0 saved, 1 refused or failed (the file is then unchanged),\n"
              "2 usage error.");
}

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

// The options of a new parameter; nullopt after a usage error (reported,
// its status in `status`).
std::optional<NewAttributes> new_attributes(const Args &args, int &status)
{
    NewAttributes attributes;
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
        if (!*option.into) {
            status = bad_number(std::string("--") + option.name, *text,
                                option.low == 0.0 ? "a finite real of 0 or more"
                                                  : "a finite real",
                                kCommand);
            return std::nullopt;
        }
    }
    if (attributes.min && attributes.max && *attributes.min > *attributes.max) {
        status = usage_error("--min is above --max", kCommand);
        return std::nullopt;
    }
    if (const auto text = args.get("group")) {
        const auto group = parse_whole(*text, 0, 7);
        if (!group) {
            status = bad_number("--group", *text, "a whole number from 0 to 7", kCommand);
            return std::nullopt;
        }
        attributes.group = static_cast<int>(*group);
    }
    if (const auto text = args.get("prot")) {
        attributes.prot = protection_bits(*text);
        if (!attributes.prot) {
            status = bad_number("--prot", *text,
                                "protection bits (decimal or 0x hexadecimal, at most 0x7fffffff)",
                                kCommand);
            return std::nullopt;
        }
    }
    return attributes;
}

// A new parameter: real when every value is a number, with the attributes
// the options give.
bool create(const std::string &name, const std::vector<std::string> &values,
            const NewAttributes &attributes, Param &param)
{
    int type = T_REAL;
    for (const std::string &text : values) {
        // nan or 1e999 is a number gone wrong, not a text.
        if (unusable_number(text)) {
            refuse(name, {P_TYPE, quoted(text) + " is not a finite number in range"});
            return false;
        }
        if (!value_real(text))
            type = T_STRING;
    }
    return create_parameter(kTreeA, name, type, values, attributes, param);
}

}  // namespace

int set(int argc, char **argv)
{
    int exit_status = kExitOk;
    auto args = parse_command(argc, argv, 1,
                              {{"help", false},
                               {"force", false},
                               {"wait", true},
                               {"min", true},
                               {"max", true},
                               {"step", true},
                               {"group", true},
                               {"prot", true}},
                              kCommand, print_help, exit_status);
    if (!args)
        return exit_status;
    const auto &operands = args->operands;
    if (operands.size() < 3)
        return usage_error("par set needs a parameter file, a name and at least one value",
                           kCommand);
    if (operands.size() - 2 > kMostValues)
        return usage_error("a parameter holds at most 32767 values", kCommand);
    const auto attributes = new_attributes(*args, exit_status);
    if (!attributes)
        return exit_status;
    const std::string &path = operands[0];
    const std::string &name = operands[1];
    const std::vector<std::string> values(operands.begin() + 2, operands.end());

    const auto wait = lock_wait(args->get("wait"));
    if (!wait)
        return usage_error("--wait takes seconds from 0 to 3600", kCommand);

    auto edit = begin_edit(path, args->has("force"), *wait);
    if (!edit)
        return kExitFailure;
    switch (load_file(kTreeA, edit->file())) {
    case Load::kComplete:
        break;
    case Load::kIncomplete:
        error(path + ": not all of the file could be read; it was left unchanged");
        return kExitFailure;
    case Load::kFailed:
        return kExitFailure;
    }
    Param param;
    const bool created = !find_param(kTreeA, name, param);
    if (!created && attributes->any()) {
        error(name_text(name) + ": the file holds this parameter; --min, --max, --step, --group "
                                "and --prot only describe a new one; the file was left unchanged");
        return kExitFailure;
    }
    if (!created && (param.prot & kWriteProtect) != 0) {
        refuse(name, {P_PROT, ""});
        return kExitFailure;
    }
    if (created ? !create(name, values, *attributes, param) : !values_allowed(kTreeA, param, values))
        return kExitFailure;
    if (const int code = assign_values(kTreeA, param, values); code != P_OK) {
        error(store_words(code, name));
        return kExitFailure;
    }
    if (reject_unsavable(kTreeA, path))
        return kExitFailure;
    if (!edit->save(kTreeA))
        return kExitFailure;
    // A misspelt name makes a new parameter instead of changing the one meant.
    if (created)
        error("created new " + type_name(param.type) + " parameter '" + name_text(name) + "'");
    return kExitOk;
}

}  // namespace psenv::par
