// Typed access to single parameters: values and enumeration entries by
// 1-based index, descriptive fields and limits.
#include <cstring>

#include "treekeep.h"

namespace {

// A parameter looked up afresh: the record, or the code of the failed lookup.
struct Lookup {
    varInfo *record = nullptr;
    int code = P_OK;
};

Lookup find(int tree, const char *name)
{
    SymbolNode **root = getTreeRoot(getRoot(tree));
    if (root == nullptr)
        return {nullptr, P_NOTREE};
    varInfo *record = rfindVar(name, root);
    if (record == nullptr)
        return {nullptr, P_NOVAR};
    return {record, P_OK};
}

enum class List { Values, Enumeration };

ValueNode *head_of(const varInfo &v, List list)
{
    return list == List::Values ? v.values : v.enumValues;
}

int count_of(const varInfo &v, List list)
{
    return list == List::Values ? v.size : v.enumCount;
}

int type_of(const varInfo &v, List list)
{
    return list == List::Values ? v.type : v.enumType;
}

// The index-th node, after the bounds check; -9 or -99 through `code`.
ValueNode *node_at(const varInfo &v, List list, int index, int &code)
{
    if (index < 1 || index > count_of(v, list)) {
        code = P_INDEX;
        return nullptr;
    }
    ValueNode *node = head_of(v, list);
    for (int step = 1; step < index && node != nullptr; ++step)
        node = node->next;
    code = node != nullptr ? P_OK : P_NOVALUE;
    return node;
}

int get_real(int tree, const char *name, double *value, int index, List list)
{
    Lookup found = find(tree, name);
    if (found.code != P_OK)
        return found.code;
    // A list of texts holds no reals to deliver; refuse it as P_getstring
    // refuses a real parameter.
    if (type_of(*found.record, list) == T_STRING)
        return P_STEP;
    int code;
    ValueNode *node = node_at(*found.record, list, index, code);
    if (code == P_INDEX)
        return code;
    *value = node != nullptr ? node->real : 0.0;
    return code;
}

int get_string(int tree, const char *name, char *buf, int index, int maxlen, List list)
{
    Lookup found = find(tree, name);
    if (found.code != P_OK)
        return found.code;
    if (maxlen < 1)
        maxlen = 1;
    // The value list must hold texts; the enumeration list is only refused
    // when it plainly holds reals, which must never be read as texts.
    if (list == List::Values ? found.record->type != T_STRING
                             : found.record->enumType == T_REAL)
        return P_STEP;
    int code;
    ValueNode *node = node_at(*found.record, list, index, code);
    if (code == P_INDEX)
        return code;
    const auto length = static_cast<std::size_t>(maxlen);
    if (node != nullptr && node->string != nullptr)
        std::strncpy(buf, node->string, length);
    else
        buf[0] = '\0';
    buf[length - 1] = '\0';
    return code;
}

template <typename Store>
int with_record(int tree, const char *name, Store store)
{
    Lookup found = find(tree, name);
    if (found.code != P_OK)
        return found.code;
    store(*found.record);
    return P_OK;
}

int assigned(int result)
{
    return result != 0 ? P_OK : P_NOVALUE;
}

}  // namespace

extern "C" {

int P_getreal(int tree, const char *name, double *value, int index)
{
    return get_real(tree, name, value, index, List::Values);
}

int P_Egetreal(int tree, const char *name, double *value, int index)
{
    return get_real(tree, name, value, index, List::Enumeration);
}

int P_getstring(int tree, const char *name, char *buf, int index, int maxlen)
{
    return get_string(tree, name, buf, index, maxlen, List::Values);
}

int P_Egetstring(int tree, const char *name, char *buf, int index, int maxlen)
{
    return get_string(tree, name, buf, index, maxlen, List::Enumeration);
}

double P_getval(const char *name)
{
    double value = 0.0;
    if (P_getreal(1, name, &value, 1) == P_NOVAR)
        P_getreal(0, name, &value, 1);
    return value;
}

int P_getsize(int tree, const char *name, int *size)
{
    Lookup found = find(tree, name);
    if (found.code != P_OK)
        return found.code;
    if (size != nullptr)
        *size = found.record->size;
    return found.record->size;
}

int P_getsubtype(int tree, const char *name)
{
    Lookup found = find(tree, name);
    return found.code != P_OK ? found.code : found.record->subtype;
}

int P_getactive(int tree, const char *name)
{
    Lookup found = find(tree, name);
    return found.code != P_OK ? found.code : found.record->active;
}

int P_setactive(int tree, const char *name, int value)
{
    return with_record(tree, name, [&](varInfo &v) { v.active = static_cast<short>(value); });
}

int P_setprot(int tree, const char *name, int value)
{
    return with_record(tree, name, [&](varInfo &v) { v.prot = value; });
}

int P_setdgroup(int tree, const char *name, int value)
{
    return with_record(tree, name, [&](varInfo &v) { v.dgroup = static_cast<short>(value); });
}

int P_setgroup(int tree, const char *name, int value)
{
    return with_record(tree, name, [&](varInfo &v) { v.group = static_cast<short>(value); });
}

int P_setlimits(int tree, const char *name, double max, double min, double step)
{
    return with_record(tree, name, [&](varInfo &v) {
        v.max = max;
        v.min = min;
        v.step = step;
    });
}

int P_setreal(int tree, const char *name, double value, int index)
{
    Lookup found = find(tree, name);
    return found.code != P_OK ? found.code : assigned(assignReal(value, found.record, index));
}

int P_setstring(int tree, const char *name, const char *value, int index)
{
    Lookup found = find(tree, name);
    return found.code != P_OK ? found.code : assigned(assignString(value, found.record, index));
}

int P_Esetreal(int tree, const char *name, double value, int index)
{
    Lookup found = find(tree, name);
    return found.code != P_OK ? found.code : assigned(assignEReal(value, found.record, index));
}

int P_Esetstring(int tree, const char *name, const char *value, int index)
{
    Lookup found = find(tree, name);
    return found.code != P_OK ? found.code : assigned(assignEString(value, found.record, index));
}

int P_getVarInfo(int tree, const char *name, vInfo *info)
{
    Lookup found = find(tree, name);
    if (found.code != P_OK)
        return found.code;
    const varInfo &v = *found.record;
    std::memset(info, 0, sizeof *info);
    info->active = v.active;
    info->dgroup = v.dgroup;
    info->group = v.group;
    info->type = v.type;
    info->size = v.size;
    info->subtype = v.subtype;
    info->enumCount = v.enumCount;
    info->prot = v.prot;
    info->min = v.min;
    info->max = v.max;
    info->step = v.step;
    return P_OK;
}

}  // extern "C"

namespace {

// A limit, read through "parmin"/"parmax" of tree 4 when the record holds
// only a position there.
int get_limit(int tree, const char *name, double *out, bool upper)
{
    vInfo info;
    if (int code = P_getVarInfo(tree, name, &info); code != P_OK)
        return code;
    double limit = upper ? info.max : info.min;
    if ((info.prot & P_PROT_LIMITS_INDIRECT) == 0) {
        *out = limit;
        return P_OK;
    }
    // A position that no int can hold names no value: index 0 is refused by
    // the lookup with -9 like any other position outside the array.
    const double position = limit + 0.1;
    const int index = position > -2147483648.0 && position < 2147483648.0
                          ? static_cast<int>(position)
                          : 0;
    double fetched;
    int code = P_getreal(4, upper ? "parmax" : "parmin", &fetched, index);
    if (code == P_OK)
        *out = fetched;
    return code;
}

}  // namespace

extern "C" {

int P_getmin(int tree, const char *name, double *min)
{
    return get_limit(tree, name, min, false);
}

int P_getmax(int tree, const char *name, double *max)
{
    return get_limit(tree, name, max, true);
}

int P_getparinfo(int tree, const char *name, double *value, int *active)
{
    if (P_getreal(tree, name, value, 1) != P_OK)
        return 1;
    if (active == nullptr)
        return 0;
    vInfo info;
    if (int code = P_getVarInfo(tree, name, &info); code != P_OK) {
        P_err(code, "info?", name);
        return 1;
    }
    *active = info.active;
    return 0;
}

intptr_t P_getVarInfoAddr(int tree, const char *name)
{
    Lookup found = find(tree, name);
    return found.code != P_OK ? -1 : reinterpret_cast<intptr_t>(found.record);
}

}  // extern "C"

