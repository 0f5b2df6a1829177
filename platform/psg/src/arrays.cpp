// Array elements: the listed parameters show one value at a time.  Their
// full value lists are kept here and put back before the next experiment, so
// that selecting an element never loses a value.
#include "psgparam.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "errsink.h"
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

std::vector<ArrayedParameter> arrayed;
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

std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view kSkipped = " \t\n()";
    size_t first = text.find_first_not_of(kSkipped);
    if (first == std::string_view::npos)
        return {};
    size_t last = text.find_last_not_of(kSkipped);
    return text.substr(first, last - first + 1);
}

bool store_arraydim(int count)
{
    SymbolNode **root = getTreeRoot(getRoot(1));
    varInfo *record = rfindVar("arraydim", root);
    if (record == nullptr)
        record = RcreateVar("arraydim", root, T_REAL);
    return record != nullptr && assignReal(count, record, 0) != 0;
}

} // namespace

extern "C" int psgparam_begin_experiment(void)
{
    restore_previous_experiment();

    char list[1024] = "";
    if (P_getstring(1, "array", list, 1, sizeof list) != P_OK)
        P_getstring(0, "array", list, 1, sizeof list);

    std::string_view rest = list;
    while (!rest.empty()) {
        size_t comma = rest.find(',');
        std::string_view name = trimmed(rest.substr(0, comma));
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
        if (name.empty())
            continue;
        ArrayedParameter parameter;
        if (!remember(name, parameter)) {
            Werrprintf("array: parameter \"%.*s\" does not exist", static_cast<int>(name.size()),
                       name.data());
            continue;
        }
        if (parameter.count() == 0)
            continue;
        element_count = std::max(element_count, parameter.count());
        arrayed.push_back(std::move(parameter));
    }
    return store_arraydim(element_count) ? element_count : -1;
}

extern "C" int psgparam_select_element(int element)
{
    if (element < 1 || element > element_count)
        return -1;
    for (const ArrayedParameter &parameter : arrayed) {
        int value = std::min(element, parameter.count()) - 1;
        if (!store_values(parameter, value, value))
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
