// The rules new values of a parameter must meet before a program stores
// them.
#include "value_check.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "treekeep_files.h"
#include "value_forms.h"

namespace treekeep {
namespace {

// Bit of the protection that forbids changing a parameter's values.
constexpr int kWriteProtect = 0x0001;

// Reals come back from a file with 12 significant digits, so equality and
// whole multiples are judged to that precision.
constexpr double kRelative = 1e-11;

bool closeReal(double a, double b)
{
    return std::fabs(a - b) <= kRelative * std::max({1e-300, std::fabs(a), std::fabs(b)});
}

bool wholeMultiple(double value, double step)
{
    const double ratio = value / step;
    if (!std::isfinite(ratio))
        return false;
    return std::fabs(ratio - std::nearbyint(ratio)) <= 1e-9 * std::max(1.0, std::fabs(ratio));
}

struct Limits {
    double min = 0.0;
    double max = 0.0;
    double step = 0.0;
};

// Limits of the parameter, read through P_getmin/P_getmax so that positions
// in parmin and parmax resolve; those arrays are taken from `tree` itself.
Limits resolveLimits(int tree, const char *name, const varInfo &record, P_verdict *verdict)
{
    Limits limits;
    limits.step = record.step;
    // The system tree holds the arrays already when it is the tree checked;
    // emptying it would drop the record itself.
    if ((record.prot & P_PROT_LIMITS_INDIRECT) != 0 && tree != VARTREE_SYSTEM) {
        P_treereset(VARTREE_SYSTEM);
        P_copyvar(tree, VARTREE_SYSTEM, "parmin", "parmin");
        P_copyvar(tree, VARTREE_SYSTEM, "parmax", "parmax");
    }
    const int minCode = P_getmin(tree, name, &limits.min);
    const int maxCode = P_getmax(tree, name, &limits.max);
    if (minCode != P_OK || maxCode != P_OK) {
        if (verdict != nullptr)
            verdict->limitsUnchecked = 1;
        limits.min = limits.max = 0.0;
    }
    return limits;
}

int refuse(int code, const std::string &detail, P_verdict *verdict)
{
    giveDetail(verdict, detail);
    return code;
}

int checkReal(const varInfo &record, const Limits &limits, double value, P_verdict *verdict)
{
    const std::string shown = realText(value);
    if (limits.max > limits.min) {
        if (value > limits.max)
            return refuse(P_UPPER, shown + " > " + realText(limits.max), verdict);
        if (value < limits.min)
            return refuse(P_LOWER, shown + " < " + realText(limits.min), verdict);
    }
    if (limits.step > 0.0 && !wholeMultiple(value, limits.step))
        return refuse(P_STEP, shown + " is no multiple of " + realText(limits.step), verdict);
    if (record.enumCount > 0 && record.enumValues != nullptr) {
        bool listed = false;
        if (record.enumType == T_REAL) {
            const ValueNode *node = record.enumValues;
            for (int i = 0; i < record.enumCount && node != nullptr && !listed; ++i, node = node->next)
                listed = closeReal(node->real, value);
        }
        if (!listed)
            return refuse(P_ENUM,
                          shown + " is not one of " +
                              listText(record.enumValues, record.enumCount, record.enumType),
                          verdict);
    }
    return P_OK;
}

}  // namespace

int checkString(const varInfo &record, const char *value, P_verdict *verdict)
{
    const std::size_t length = std::strlen(value);
    if (length > P_LONGEST_STRING)
        return refuse(P_STRLEN,
                      std::to_string(length) + " characters, " + std::to_string(P_LONGEST_STRING) +
                          " at most",
                      verdict);
    if (record.enumCount > 0 && record.enumValues != nullptr) {
        bool listed = false;
        if (record.enumType == T_STRING) {
            const ValueNode *node = record.enumValues;
            for (int i = 0; i < record.enumCount && node != nullptr && !listed; ++i, node = node->next)
                listed = std::strcmp(node->string != nullptr ? node->string : "", value) == 0;
        }
        if (!listed)
            return refuse(P_ENUM,
                          quotedText(value) + " is not one of " +
                              listText(record.enumValues, record.enumCount, record.enumType),
                          verdict);
    }
    return P_OK;
}

int checkValues(int tree, const char *name, const varInfo &record, const char *const *values,
                std::size_t count, P_verdict *verdict)
{
    // Any kind but a string is read as reals; only a real parameter has limits.
    const bool real = record.type != T_STRING;
    const Limits limits =
        record.type == T_REAL ? resolveLimits(tree, name, record, verdict) : Limits{};
    for (std::size_t i = 0; i < count; ++i) {
        const char *text = values[i] != nullptr ? values[i] : "";
        int code = P_OK;
        double value = 0.0;
        if (!real) {
            code = checkString(record, text, verdict);
        } else {
            switch (P_valuereal(text, &value)) {
            case P_REAL_NUMBER:
                code = checkReal(record, limits, value, verdict);
                break;
            case P_REAL_UNUSABLE:
                code = refuse(P_TYPE, quotedText(text) + " is not a finite number in range", verdict);
                break;
            default:
                code = refuse(P_TYPE, quotedText(text) + " is not a number", verdict);
            }
        }
        if (code != P_OK)
            return code;
    }
    return P_OK;
}

}  // namespace treekeep

extern "C" int P_checkvalues(int tree, const char *name, const char *const *values, size_t count,
                             P_verdict *verdict)
{
    if (verdict != nullptr) {
        treekeep::giveDetail(verdict, "");
        verdict->limitsUnchecked = 0;
    }
    if (name == nullptr || (values == nullptr && count != 0))
        return P_VALUE_INVALID;
    int code = P_OK;
    const varInfo *record = treekeep::findRecord(tree, name, code);
    if (record == nullptr)
        return code;
    if ((record->prot & treekeep::kWriteProtect) != 0)
        return P_PROT;
    return treekeep::checkValues(tree, name, *record, values, count, verdict);
}
