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
#include "par/text_forms.h"
#include "treekeep.h"
#include "treekeep_files.h"
#include "treekeep_values.h"

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
int new_attributes(const Call &call, P_newparam &attributes)
{
    const Args &args = call.args;
    const double huge = std::numeric_limits<double>::max();
    struct RealOption {
        const char *name;
        double low;
        int flag;
        double *into;
    };
    for (const RealOption &option : {RealOption{"min", -huge, P_NEW_MIN, &attributes.min},
                                     RealOption{"max", -huge, P_NEW_MAX, &attributes.max},
                                     RealOption{"step", 0.0, P_NEW_STEP, &attributes.step}}) {
        const auto text = args.get(option.name);
        if (!text)
            continue;
        const auto value = parse_decimal(*text, option.low, huge);
        if (!value)
            return bad_number(std::string("--") + option.name, *text,
                              option.low == 0.0 ? "a finite real of 0 or more" : "a finite real",
                              call.command);
        *option.into = *value;
        attributes.given |= option.flag;
    }
    if ((attributes.given & P_NEW_MIN) != 0 && (attributes.given & P_NEW_MAX) != 0 &&
        attributes.min > attributes.max)
        return call.usage("--min is above --max");
    if (const auto text = args.get("group")) {
        const auto group = parse_whole(*text, 0, 7);
        if (!group)
            return bad_number("--group", *text, "a whole number from 0 to 7", call.command);
        attributes.group = static_cast<int>(*group);
        attributes.given |= P_NEW_GROUP;
    }
    if (const auto text = args.get("prot")) {
        const auto prot = protection_bits(*text);
        if (!prot)
            return bad_number("--prot", *text,
                              "protection bits (decimal or 0x hexadecimal, at most 0x7fffffff)",
                              call.command);
        attributes.prot = *prot;
        attributes.given |= P_NEW_PROT;
    }
    return kExitOk;
}

// A refusal of the store's rules as "NAME: <its words> (detail)", after the
// warning that limits went unchecked; kExitOk when there was none.
int verdict_status(const std::string &name, int code, const P_verdict &verdict,
                   const std::vector<char> &detail)
{
    if (verdict.limitsUnchecked != 0)
        error(name_text(name) +
              ": limits are positions in parmin/parmax, which the file does not hold in full; "
              "limits not checked");
    if (code == P_OK)
        return kExitOk;
    if (code == P_VALUE_STRINGLIMITS) {
        error(name_text(name) + ": a new string parameter takes no --min, --max or --step (" +
              detail.data() + " is no list of numbers); the file was left unchanged");
        return kExitFailure;
    }
    error(store_words(code, name, detail.data()));
    return kExitFailure;
}

// The values as the store takes them.
std::vector<const char *> value_texts(const std::vector<std::string> &values)
{
    std::vector<const char *> texts;
    texts.reserve(values.size());
    for (const std::string &value : values)
        texts.push_back(value.c_str());
    return texts;
}

// Checks (or creates and checks) through `rule`, which fills a verdict; a
// detail longer than the first buffer is asked for again in full.
template <typename Rule>
int apply_rule(const std::string &name, Rule &&rule)
{
    std::vector<char> detail(256);
    P_verdict verdict{detail.data(), detail.size(), 0, 0};
    int code = rule(verdict);
    if (code != P_OK && verdict.length >= detail.size()) {
        detail.resize(verdict.length + 1);
        verdict = P_verdict{detail.data(), detail.size(), 0, 0};
        code = rule(verdict);
    }
    return verdict_status(name, code, verdict, detail);
}

// A new parameter: real when every value is a number, with the attributes
// the options give, and the values checked against them.
int create(const std::string &name, const std::vector<std::string> &values,
           P_newparam attributes)
{
    attributes.type = T_REAL;
    for (const std::string &text : values) {
        const int reading = P_valuereal(text.c_str(), nullptr);
        // nan or 1e999 is a number gone wrong, not a text.
        if (reading == P_REAL_UNUSABLE) {
            error(store_words(P_TYPE, name, quoted(text) + " is not a finite number in range"));
            return kExitFailure;
        }
        if (reading != P_REAL_NUMBER)
            attributes.type = T_STRING;
    }
    const std::vector<const char *> texts = value_texts(values);
    return apply_rule(name, [&](P_verdict &verdict) {
        // A refusal leaves the parameter half made: the next try starts clean.
        if (rfindVar(name.c_str(), getTreeRootByIndex(kFileTree)) != nullptr)
            P_deleteVar(kFileTree, name.c_str());
        return P_createparam(kFileTree, name.c_str(), texts.data(), texts.size(), &attributes,
                             &verdict);
    });
}

int run(const Call &call)
{
    const auto &operands = call.args.operands;
    if (operands.size() < 3)
        return call.usage("par set needs a parameter file, a name and at least one value");
    if (operands.size() - 2 > kMostValues)
        return call.usage("a parameter holds at most 32767 values");
    P_newparam attributes{};
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
    const bool created = rfindVar(name.c_str(), getTreeRootByIndex(kFileTree)) == nullptr;
    if (!created && attributes.given != 0) {
        error(name_text(name) + ": the file holds this parameter; --min, --max, --step, --group "
                                "and --prot only describe a new one; the file was left unchanged");
        return kExitFailure;
    }
    const std::vector<const char *> texts = value_texts(values);
    if (const int status = created ? create(name, values, attributes)
                                   : apply_rule(name, [&](P_verdict &verdict) {
                                         return P_checkvalues(kFileTree, name.c_str(), texts.data(),
                                                              texts.size(), &verdict);
                                     });
        status != kExitOk)
        return status;
    if (const int code = P_assignvalues(kFileTree, name.c_str(), texts.data(), texts.size());
        code != P_OK) {
        error(store_words(code, name));
        return kExitFailure;
    }
    if (const int status = refuse_unsavable(kFileTree, path); status != kExitOk)
        return status;
    if (const int status = edit.save(kFileTree); status != kExitOk)
        return status;
    // A misspelt name makes a new parameter instead of changing the one meant.
    if (created)
        error("created new " + type_name(rfindVar(name.c_str(), getTreeRootByIndex(kFileTree))->type) +
              " parameter '" + name_text(name) + "'");
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
