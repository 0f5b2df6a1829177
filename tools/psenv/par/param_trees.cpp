// Loading parameter files into the trees of `psenv par`, and copying
// parameters out of a tree as plain data.
#include "par/param_trees.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "core/parameter_file.h"
#include "core/report.h"
#include "core/streams.h"
#include "treekeep.h"
#include "treekeep_values.h"

namespace psenv::par {

bool same_real(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

bool ValueList::operator==(const ValueList &other) const
{
    if (count() == 0 && other.count() == 0)
        return true;  // an empty list has no kind worth comparing
    return type == other.type && texts == other.texts &&
           std::equal(reals.begin(), reals.end(), other.reals.begin(), other.reals.end(),
                      same_real);
}

void report(int code, std::string_view first, std::string_view second)
{
    error(store_message(code, first, second));
}

namespace {

ValueList copy_list(const ValueNode *node, int count, int type)
{
    ValueList list;
    list.type = type;
    // The walk stops after the count or at the end of the list, whichever
    // comes first, as every walk over a record's lists does.
    for (int i = 0; i < count && node != nullptr; ++i, node = node->next) {
        if (type == T_STRING)
            list.texts.emplace_back(node->string != nullptr ? node->string : "");
        else
            list.reals.push_back(node->real);
    }
    return list;
}

Param copy_param(const char *name, const varInfo &record)
{
    Param param;
    param.name = name;
    param.type = record.type;
    param.subtype = record.subtype;
    param.group = record.group;
    param.dgroup = record.dgroup;
    param.active = record.active;
    param.prot = record.prot;
    param.min = record.min;
    param.max = record.max;
    param.step = record.step;
    param.values = copy_list(record.values, record.size, record.type);
    param.enumeration = copy_list(record.enumValues, record.enumCount, record.enumType);
    return param;
}

}  // namespace

int refuse_unsavable(int tree, const std::string &path)
{
    auto refuse = [](const char *name, void *context) {
        error(*static_cast<const std::string *>(context) + ": parameter '" + name +
              "' cannot be saved to a file; the file was left unchanged");
    };
    const int found = P_unsavable(tree, refuse, const_cast<std::string *>(&path));
    if (found == P_MALLOC)
        throw std::bad_alloc();
    return found > 0 ? kExitFailure : kExitOk;
}

Load load_file(int tree, const std::string &path)
{
    if (const int reason = unreadable(path); reason != 0) {
        error(path + ": " + std::strerror(reason));
        return Load::kFailed;
    }
    const int reset = P_treereset(tree);
    if (reset != P_OK) {
        report(reset, "tree " + std::to_string(tree) + ": ");
        return Load::kFailed;
    }
    int code = P_OK;
    const int messages = with_loader_messages(path, [&] { code = P_read(tree, path.c_str()); });
    if (code != P_OK) {
        report(code, path, ": ");
        return Load::kFailed;
    }
    return messages == 0 ? Load::kComplete : Load::kIncomplete;
}

std::vector<Param> collect(int tree)
{
    std::vector<Param> params;
    P_eachparam(
        tree,
        [](const char *name, const varInfo *record, void *into) {
            static_cast<std::vector<Param> *>(into)->push_back(copy_param(name, *record));
        },
        &params);
    return params;
}

bool find_param(int tree, const std::string &name, Param &out)
{
    const varInfo *record = rfindVar(name.c_str(), getTreeRootByIndex(tree));
    if (record == nullptr)
        return false;
    out = copy_param(name.c_str(), *record);
    return true;
}

}  // namespace psenv::par
