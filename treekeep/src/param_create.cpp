// A new parameter with its attributes, and the assignment of new values.
#include <string>

#include "value_check.h"
#include "value_forms.h"

extern "C" int P_createparam(int tree, const char *name, const char *const *values, size_t count,
                             const P_newparam *attributes, P_verdict *verdict)
{
    if (verdict != nullptr) {
        treekeep::giveDetail(verdict, "");
        verdict->limitsUnchecked = 0;
    }
    if (name == nullptr || attributes == nullptr || (values == nullptr && count != 0) ||
        (attributes->type != T_REAL && attributes->type != T_STRING))
        return P_VALUE_INVALID;
    if (name[0] == '$') {
        treekeep::giveDetail(verdict, "names beginning with $ are never saved");
        return P_BADNAME;
    }
    const int limits = attributes->given & (P_NEW_MIN | P_NEW_MAX | P_NEW_STEP);
    if (attributes->type == T_STRING) {
        // No record yet: only the length can be judged.
        const varInfo none{};
        for (std::size_t i = 0; i < count; ++i)
            if (const int code = treekeep::checkString(none, values[i] ? values[i] : "", verdict);
                code != P_OK)
                return code;
        if (limits != 0) {
            const char *first = count > 0 && values[0] != nullptr ? values[0] : "";
            treekeep::giveDetail(verdict,
                                 treekeep::quotedText(first) + (count > 1 ? " ..." : ""));
            return P_VALUE_STRINGLIMITS;
        }
    }
    int code = P_creatvar(tree, name, attributes->type);
    if (code == P_OK && limits != 0)
        code = P_setlimits(tree, name, attributes->max, attributes->min, attributes->step);
    if (code == P_OK && (attributes->given & P_NEW_GROUP) != 0)
        code = P_setgroup(tree, name, attributes->group);
    if (code == P_OK && (attributes->given & P_NEW_PROT) != 0)
        code = P_setprot(tree, name, attributes->prot);
    if (code != P_OK)
        return code;
    const varInfo *record = treekeep::findRecord(tree, name, code);
    if (record == nullptr)
        return code;
    return treekeep::checkValues(tree, name, *record, values, count, verdict);
}

extern "C" int P_assignvalues(int tree, const char *name, const char *const *values, size_t count)
{
    if (name == nullptr || (values == nullptr && count != 0))
        return P_VALUE_INVALID;
    int code = P_OK;
    const varInfo *record = treekeep::findRecord(tree, name, code);
    if (record == nullptr)
        return code;
    const bool text = record->type == T_STRING;
    for (std::size_t i = 0; i < count; ++i) {
        // Index 0 makes the list exactly this value; the rest are appended.
        const int index = i == 0 ? 0 : static_cast<int>(i) + 1;
        const char *value = values[i] != nullptr ? values[i] : "";
        if (text) {
            code = P_setstring(tree, name, value, index);
        } else {
            double real = 0.0;
            code = P_valuereal(value, &real) == P_REAL_NUMBER ? P_setreal(tree, name, real, index)
                                                               : P_TYPE;
        }
        if (code != P_OK)
            return code;
    }
    return P_OK;
}
