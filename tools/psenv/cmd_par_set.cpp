// psenv par set: change or add one parameter of a file and save it.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli.h"
#include "cmd_par.h"
#include "par_check.h"
#include "par_edit.h"
#include "par_format.h"
#include "treekeep.h"

namespace psenv::par {
namespace {

constexpr const char *kCommand = "par set";

// A record's value count is a 16-bit field.
constexpr std::size_t kMostValues = 32767;

void print_help()
{
    std::puts("Usage: psenv par set FILE NAME VALUE... [--force] [--wait SECONDS]\n\n"
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
              "A new parameter is real when every value is a number, else string.\n"
              "Numbers are decimal or hexadecimal reals, finite, without blanks around\n"
              "them; nan and inf are refused.\n"
              "Strings longer than 1022 characters cannot be read back and are refused.\n"
              "Use '--' before values that begin with '--'.\n\n"
              "FILE must be a regular file (a symbolic link to one is followed) that\n"
              "passes 'psenv par check'.  One editor at a time changes the files of a\n"
              "directory; another waits for it.\n\n"
              "  --force          replace FILE even without write permission on it or\n"
              "                   when it has several hard links (the others keep the\n"
              "                   old content)\n"
              "  --wait SECONDS   wait at most this long for another editor (default 10)\n\n"
              "Exit status: 0 saved, 1 refused or failed (the file is then unchanged),\n"
              "2 usage error.");
}

// Limits of `name`, read through the store so that positions in parmin and
// parmax resolve; those arrays are taken from the file itself.
std::optional<Limits> resolve_limits(const Param &param)
{
    Limits limits;
    limits.step = param.step;
    if ((param.prot & P_PROT_LIMITS_INDIRECT) != 0) {
        P_treereset(kTreeLimits);
        P_copyvar(kTreeA, kTreeLimits, "parmin", "parmin");
        P_copyvar(kTreeA, kTreeLimits, "parmax", "parmax");
    }
    const int min_code = P_getmin(kTreeA, param.name.c_str(), &limits.min);
    const int max_code = P_getmax(kTreeA, param.name.c_str(), &limits.max);
    if (min_code != P_OK || max_code != P_OK) {
        error(param.name + ": limits are positions in parmin/parmax, which the file does " +
              "not hold in full; limits not checked");
        limits.min = limits.max = 0.0;
    }
    return limits;
}

void refuse(const std::string &name, const Refusal &refusal)
{
    std::string message = store_message(refusal.code, name, "");
    if (!refusal.detail.empty()) {
        if (message.back() != ' ')
            message += ' ';
        message += "(" + refusal.detail + ")";
    }
    error(message);
}

// The checks of every value against an existing parameter; true when all pass.
bool values_allowed(const Param &param, const std::vector<std::string> &values)
{
    if ((param.prot & kWriteProtect) != 0) {
        refuse(param.name, {P_PROT, ""});
        return false;
    }
    const std::optional<Limits> limits =
        param.type == T_REAL ? resolve_limits(param) : std::nullopt;
    for (const std::string &text : values) {
        std::optional<Refusal> refusal;
        if (param.type == T_STRING) {
            refusal = check_string(param, text);
        } else if (const auto value = value_real(text)) {
            refusal = check_real(param, limits, *value);
        } else if (unusable_number(text)) {
            refusal = Refusal{P_TYPE, quoted(text) + " is not a finite number in range"};
        } else {
            refusal = Refusal{P_TYPE, quoted(text) + " is not a number"};
        }
        if (refusal) {
            refuse(param.name, *refusal);
            return false;
        }
    }
    return true;
}

// A new parameter: real when every value is a number.
bool create(const std::string &name, const std::vector<std::string> &values, Param &param)
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
    if (name[0] == '$') {
        refuse(name, {P_BADNAME, "names beginning with $ are never saved"});
        return false;
    }
    if (type == T_STRING)
        for (const std::string &text : values)
            if (auto refusal = check_string(param, text)) {
                refuse(name, *refusal);
                return false;
            }
    const int code = P_creatvar(kTreeA, name.c_str(), type);
    if (code != P_OK) {
        report(code, name);
        return false;
    }
    param.name = name;
    param.type = type;
    return true;
}

int assign(const Param &param, const std::vector<std::string> &values)
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        // Index 0 makes the list exactly this value; the rest are appended.
        const int index = i == 0 ? 0 : static_cast<int>(i) + 1;
        const int code = param.type == T_STRING
                             ? P_setstring(kTreeA, param.name.c_str(), values[i].c_str(), index)
                             : P_setreal(kTreeA, param.name.c_str(), *value_real(values[i]), index);
        if (code != P_OK)
            return code;
    }
    return P_OK;
}

}  // namespace

int set(int argc, char **argv)
{
    int exit_status = kExitOk;
    auto args = parse_command(argc, argv, 1,
                              {{"help", false}, {"force", false}, {"wait", true}}, kCommand,
                              print_help, exit_status);
    if (!args)
        return exit_status;
    const auto &operands = args->operands;
    if (operands.size() < 3)
        return usage_error("par set needs a parameter file, a name and at least one value",
                           kCommand);
    if (operands.size() - 2 > kMostValues)
        return usage_error("a parameter holds at most 32767 values", kCommand);
    const std::string &path = operands[0];
    const std::string &name = operands[1];
    const std::vector<std::string> values(operands.begin() + 2, operands.end());

    const auto wait = lock_wait(args->get("wait"));
    if (!wait)
        return usage_error("--wait takes seconds from 0 to 3600", kCommand);

    const auto edit = begin_edit(path, args->has("force"), *wait);
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
    if (find_param(kTreeA, name, param) ? !values_allowed(param, values)
                                        : !create(name, values, param))
        return kExitFailure;
    if (const int code = assign(param, values); code != P_OK) {
        report(code, name);
        return kExitFailure;
    }
    if (reject_unsavable(kTreeA, path))
        return kExitFailure;
    return save_file(kTreeA, path, edit->file()) ? kExitOk : kExitFailure;
}

}  // namespace psenv::par
