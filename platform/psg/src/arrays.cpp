// Array elements: the listed parameters show one value at a time.  Their
// full value lists are kept here and put back before the next experiment, so
// that selecting an element never loses a value.
#include "psgparam.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "array_list.h"
#include "errsink.h"
#include "missing_reads.h"
#include "treekeep.h"

namespace {

struct ArrayedParameter {
    std::string name;
    int tree = 1;
    bool text = false;
    std::vector<double> reals;
    std::vector<std::string> texts;

    int count() const { return static_cast<int>(text ? texts.size() : reals.size()); }
};

// In the order listed; the groups index into it.
std::vector<ArrayedParameter> arrayed;
struct Group {
    std::vector<size_t> members;
    int length = 1;
};
std::vector<Group> groups;
int element_count = 1;

varInfo *record_of(const ArrayedParameter &parameter)
{
    return rfindVar(parameter.name.c_str(), getTreeRoot(getRoot(parameter.tree)));
}

// Index 0 makes the list this one value; the rest append.
bool store_values(const ArrayedParameter &parameter, int first, int last)
{
    varInfo *record = record_of(parameter);
    if (record == nullptr)
        return false;
    for (int i = first; i <= last; ++i) {
        int index = i == first ? 0 : i - first + 1;
        auto at = static_cast<size_t>(i);
        int stored = parameter.text ? assignString(parameter.texts[at].c_str(), record, index)
                                    : assignReal(parameter.reals[at], record, index);
        if (stored == 0)
            return false;
    }
    return true;
}

void restore_previous_experiment()
{
    for (const ArrayedParameter &parameter : arrayed)
        if (parameter.count() > 0)
            store_values(parameter, 0, parameter.count() - 1);
    arrayed.clear();
    groups.clear();
    element_count = 1;
}

bool remember(std::string_view name, ArrayedParameter &parameter)
{
    parameter.name = std::string(name);
    varInfo *record = nullptr;
    for (int tree : {1, 0}) {
        record = rfindVar(parameter.name.c_str(), getTreeRoot(getRoot(tree)));
        if (record != nullptr) {
            parameter.tree = tree;
            break;
        }
    }
    if (record == nullptr)
        return false;
    parameter.text = record->type == T_STRING;
    int n = 0;
    for (ValueNode *node = record->values; node != nullptr && n < record->size;
         node = node->next, ++n) {
        if (parameter.text)
            parameter.texts.emplace_back(node->string != nullptr ? node->string : "");
        else
            parameter.reals.push_back(node->real);
    }
    return true;
}

bool store_arraydim(int count)
{
    SymbolNode **root = getTreeRoot(getRoot(1));
    varInfo *record = rfindVar("arraydim", root);
    if (record == nullptr)
        record = RcreateVar("arraydim", root, T_REAL);
    return record != nullptr && assignReal(count, record, 0) != 0;
}

// Fills `arrayed` and `groups` from the listed names; false once a fault was
// reported.
bool take_groups(const std::vector<psg::ArrayGroup> &listed)
{
    long long total = 1;
    for (const psg::ArrayGroup &names : listed) {
        Group group;
        for (const std::string &name : names) {
            for (const ArrayedParameter &seen : arrayed)
                if (seen.name == name) {
                    Werrprintf("array: parameter \"%s\" is listed twice", name.c_str());
                    return false;
                }
            ArrayedParameter parameter;
            if (!remember(name, parameter)) {
                Werrprintf("array: parameter \"%s\" does not exist", name.c_str());
                return false;
            }
            if (parameter.count() == 0) {
                Werrprintf("array: parameter \"%s\" has no value", name.c_str());
                return false;
            }
            if (!group.members.empty() && parameter.count() != group.length) {
                const ArrayedParameter &first = arrayed[group.members.front()];
                Werrprintf("array: \"%s\" has %d values and \"%s\" has %d; parameters in "
                           "parentheses vary together and need equal lengths",
                           first.name.c_str(), first.count(), name.c_str(), parameter.count());
                return false;
            }
            group.length = parameter.count();
            group.members.push_back(arrayed.size());
            arrayed.push_back(std::move(parameter));
        }
        total *= group.length;
        if (total > INT_MAX) {
            Werrprintf("array: the experiment would have more than %d elements", INT_MAX);
            return false;
        }
        groups.push_back(std::move(group));
    }
    element_count = static_cast<int>(total);
    return true;
}

void append_value(std::string &text, const ArrayedParameter &parameter, size_t at)
{
    if (!text.empty())
        text += ", ";
    text += parameter.name + " ";
    if (parameter.text) {
        text += "\"" + parameter.texts[at] + "\"";
    } else {
        char number[32];
        std::snprintf(number, sizeof number, "%.9g", parameter.reals[at]);
        text += number;
    }
}

// 0-based value index of every arrayed parameter at `element`: the groups
// count like the digits of a number, the last one fastest.
std::vector<size_t> value_indices(int element)
{
    std::vector<size_t> at(arrayed.size(), 0);
    int rest = element - 1;
    for (auto group = groups.rbegin(); group != groups.rend(); ++group) {
        int value = rest % group->length;
        rest /= group->length;
        for (size_t member : group->members)
            at[member] = static_cast<size_t>(value);
    }
    return at;
}

} // namespace

extern "C" int psgparam_begin_experiment(void)
{
    restore_previous_experiment();
    psg::forget_missing_reads();

    char list[1024] = "";
    if (P_getstring(1, "array", list, 1, sizeof list) != P_OK)
        P_getstring(0, "array", list, 1, sizeof list);

    std::vector<psg::ArrayGroup> listed;
    std::string error;
    if (!psg::parse_array_list(list, listed, error)) {
        Werrprintf("array: \"%s\": %s", list, error.c_str());
        return -1;
    }
    if (!take_groups(listed)) {
        restore_previous_experiment();
        return -1;
    }
    if (!store_arraydim(element_count)) {
        Werrprintf("arraydim: cannot be stored");
        return -1;
    }
    return element_count;
}

extern "C" int psgparam_select_element(int element)
{
    if (element < 1 || element > element_count)
        return -1;
    std::vector<size_t> at = value_indices(element);
    for (size_t i = 0; i < arrayed.size(); ++i) {
        int value = static_cast<int>(at[i]);
        if (!store_values(arrayed[i], value, value))
            return -1;
    }
    return 0;
}

extern "C" const char *psgparam_arrayed_name(int i, int *count)
{
    if (i < 0 || static_cast<size_t>(i) >= arrayed.size())
        return nullptr;
    if (count != nullptr)
        *count = arrayed[static_cast<size_t>(i)].count();
    return arrayed[static_cast<size_t>(i)].name.c_str();
}

extern "C" int psgparam_element_values(int element, char *buf, size_t size)
{
    std::string text;
    if (element >= 1 && element <= element_count) {
        std::vector<size_t> at = value_indices(element);
        for (size_t i = 0; i < arrayed.size(); ++i)
            append_value(text, arrayed[i], at[i]);
    }
    if (buf != nullptr && size > 0)
        std::snprintf(buf, size, "%s", text.c_str());
    return static_cast<int>(text.size());
}
