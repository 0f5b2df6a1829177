#include "par/set_rules.h"

#include "core/report.h"
#include "par/text_forms.h"
#include "treekeep.h"

namespace psenv::par {
namespace {

// Limits of `param`, read through the store so that positions in parmin and
// parmax resolve; those arrays are taken from `tree` itself.
std::optional<Limits> resolve_limits(int tree, const Param &param)
{
    Limits limits;
    limits.step = param.step;
    if ((param.prot & P_PROT_LIMITS_INDIRECT) != 0) {
        P_treereset(kLimitsTree);
        P_copyvar(tree, kLimitsTree, "parmin", "parmin");
        P_copyvar(tree, kLimitsTree, "parmax", "parmax");
    }
    const int min_code = P_getmin(tree, param.name.c_str(), &limits.min);
    const int max_code = P_getmax(tree, param.name.c_str(), &limits.max);
    if (min_code != P_OK || max_code != P_OK) {
        error(name_text(param.name) +
              ": limits are positions in parmin/parmax, which the file does not hold in full; "
              "limits not checked");
        limits.min = limits.max = 0.0;
    }
    return limits;
}

}  // namespace

int refuse(const std::string &name, const Refusal &refusal)
{
    error(store_words(refusal.code, name, refusal.detail));
    return kExitFailure;
}

// Every value against a parameter's kind, limits, step and enumeration:
// kExitOk when all pass, else the first refusal is reported.
int values_allowed(int tree, const Param &param, const std::vector<std::string> &values)
{
    const std::optional<Limits> limits =
        param.type == T_REAL ? resolve_limits(tree, param) : std::nullopt;
    for (const std::string &text : values) {
        std::optional<Refusal> refusal;
        if (param.type == T_STRING) {
            refusal = string_refusal(param, text);
        } else if (const auto value = value_real(text)) {
            refusal = real_refusal(param, limits, *value);
        } else if (unusable_number(text)) {
            refusal = Refusal{P_TYPE, quoted(text) + " is not a finite number in range"};
        } else {
            refusal = Refusal{P_TYPE, quoted(text) + " is not a number"};
        }
        if (refusal)
            return refuse(param.name, *refusal);
    }
    return kExitOk;
}

int create_parameter(int tree, const std::string &name, int type,
                     const std::vector<std::string> &values, const NewAttributes &attributes,
                     Param &param)
{
    if (name[0] == '$')
        return refuse(name, {P_BADNAME, "names beginning with $ are never saved"});
    if (type == T_STRING)
        for (const std::string &text : values)
            if (auto refusal = string_refusal(param, text))
                return refuse(name, *refusal);
    if (type == T_STRING && attributes.limits()) {
        error(name_text(name) + ": a new string parameter takes no --min, --max or --step (" +
              quoted(values.front()) + (values.size() > 1 ? " ..." : "") +
              " is no list of numbers); the file was left unchanged");
        return kExitFailure;
    }
    int code = P_creatvar(tree, name.c_str(), type);
    if (code == P_OK && attributes.limits())
        code = P_setlimits(tree, name.c_str(), attributes.max.value_or(0.0),
                           attributes.min.value_or(0.0), attributes.step.value_or(0.0));
    if (code == P_OK && attributes.group)
        code = P_setgroup(tree, name.c_str(), *attributes.group);
    if (code == P_OK && attributes.prot)
        code = P_setprot(tree, name.c_str(), *attributes.prot);
    if (code != P_OK) {
        error(store_words(code, name));
        return kExitFailure;
    }
    find_param(tree, name, param);
    return values_allowed(tree, param, values);
}

int assign_values(int tree, const Param &param, const std::vector<std::string> &values)
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        // Index 0 makes the list exactly this value; the rest are appended.
        const int index = i == 0 ? 0 : static_cast<int>(i) + 1;
        const int code = param.type == T_STRING
                             ? P_setstring(tree, param.name.c_str(), values[i].c_str(), index)
                             : P_setreal(tree, param.name.c_str(), *value_real(values[i]), index);
        if (code != P_OK)
            return code;
    }
    return P_OK;
}

}  // namespace psenv::par
