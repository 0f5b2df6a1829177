#include "parameter_rules.h"

#include <new>

#include <pybind11/pybind11.h>

#include "treekeep.h"
#include "treekeep_files.h"
#include "treekeep_values.h"
#include "vartree.h"

namespace py = pybind11;

namespace psenv::python {
namespace {

constexpr int kRulesTree = VARTREE_PROCESSED;
constexpr int kSecondTree = VARTREE_SCRATCH;

std::vector<const char *> value_texts(const std::vector<std::string> &texts)
{
    std::vector<const char *> pointers;
    pointers.reserve(texts.size());
    for (const std::string &text : texts)
        pointers.push_back(text.c_str());
    return pointers;
}

std::string printable(const std::string &name)
{
    std::string text(P_printable(name.data(), name.size(), nullptr, 0), '\0');
    P_printable(name.data(), name.size(), text.data(), text.size() + 1);
    return text;
}

// Runs `rule` with a verdict whose detail fits (asked again in full when
// the first buffer was too small); throws ValueError with the refusal and
// returns the warnings otherwise.
template <typename Rule>
std::vector<std::string> judged(const std::string &name, Rule &&rule)
{
    std::vector<char> detail(256);
    P_verdict verdict{detail.data(), detail.size(), 0, 0};
    int code = rule(verdict);
    if (code != P_OK && verdict.length >= detail.size()) {
        detail.resize(verdict.length + 1);
        verdict = P_verdict{detail.data(), detail.size(), 0, 0};
        code = rule(verdict);
    }
    if (code == P_VALUE_STRINGLIMITS)
        throw py::value_error(name + ": a string parameter takes no min, max or step");
    if (code != P_OK)
        throw py::value_error(refusal_text(code, name, detail.data()));
    std::vector<std::string> warnings;
    if (verdict.limitsUnchecked != 0)
        warnings.push_back(printable(name) +
                           ": limits are positions in parmin/parmax, which the file does not hold "
                           "in full; limits not checked");
    return warnings;
}

void place_list(varInfo *record, const ValueList &list, bool enumeration)
{
    for (std::size_t i = 0; i < list.count(); ++i) {
        const int index = i == 0 ? 0 : static_cast<int>(i) + 1;
        const bool text = list.type == T_STRING;
        const int placed =
            enumeration ? (text ? assignEString(list.texts[i].c_str(), record, index)
                                : assignEReal(list.reals[i], record, index))
                        : (text ? assignString(list.texts[i].c_str(), record, index)
                                : assignReal(list.reals[i], record, index));
        if (placed == 0)
            throw std::bad_alloc();
    }
}

// Empties the rules' trees when it goes.
struct ResetTrees {
    ResetTrees() { reset(); }
    ~ResetTrees() { reset(); }
    static void reset()
    {
        P_treereset(kRulesTree);
        P_treereset(kSecondTree);
    }
};

}  // namespace

int rules_tree()
{
    return kRulesTree;
}

std::string refusal_text(int code, const std::string &name, const std::string &detail)
{
    std::string text(P_refusaltext(code, name.c_str(), detail.c_str(), nullptr, 0), '\0');
    P_refusaltext(code, name.c_str(), detail.c_str(), text.data(), text.size() + 1);
    return text;
}

std::string quoted(const std::string &text)
{
    std::string out(P_quoted(text.data(), text.size(), nullptr, 0), '\0');
    P_quoted(text.data(), text.size(), out.data(), out.size() + 1);
    return out;
}

std::string type_name(int type)
{
    return type == T_REAL ? "real" : type == T_STRING ? "string" : "type " + std::to_string(type);
}

void place(int tree, const Parameter &param)
{
    varInfo *record = RcreateVar(param.name.c_str(), getTreeRootByIndex(tree), param.type);
    if (record == nullptr)
        throw std::bad_alloc();
    place_list(record, param.values, false);
    place_list(record, param.enumeration, true);
    // The lists' assignments set the kinds of their own; the record keeps
    // the ones it was copied with.
    record->type = static_cast<short>(param.type);
    record->enumType = static_cast<short>(param.enumeration.type);
    record->subtype = static_cast<short>(param.subtype);
    record->group = static_cast<short>(param.group);
    record->dgroup = static_cast<short>(param.dgroup);
    record->active = static_cast<short>(param.active);
    record->prot = param.prot;
    record->min = param.min;
    record->max = param.max;
    record->step = param.step;
}

std::vector<std::string> check_values(const Parameter &param, const std::vector<Parameter> &arrays,
                                      const std::vector<std::string> &texts)
{
    ResetTrees reset;
    place(kRulesTree, param);
    for (const Parameter &array : arrays)
        place(kRulesTree, array);
    const std::vector<const char *> values = value_texts(texts);
    return judged(param.name, [&](P_verdict &verdict) {
        return P_checkvalues(kRulesTree, param.name.c_str(), values.data(), values.size(), &verdict);
    });
}

std::vector<std::string> create_in(int tree, const std::string &name, int type,
                                   const std::vector<std::string> &texts,
                                   const NewAttributes &attributes)
{
    P_newparam made{};
    made.type = type;
    const auto give = [&made](const auto &option, auto &into, int flag) {
        if (option) {
            into = *option;
            made.given |= flag;
        }
    };
    give(attributes.min, made.min, P_NEW_MIN);
    give(attributes.max, made.max, P_NEW_MAX);
    give(attributes.step, made.step, P_NEW_STEP);
    give(attributes.group, made.group, P_NEW_GROUP);
    give(attributes.prot, made.prot, P_NEW_PROT);
    const std::vector<const char *> values = value_texts(texts);
    std::vector<std::string> warnings = judged(name, [&](P_verdict &verdict) {
        // A refusal leaves the parameter half made: a second try starts clean.
        if (rfindVar(name.c_str(), getTreeRootByIndex(tree)) != nullptr)
            P_deleteVar(tree, name.c_str());
        return P_createparam(tree, name.c_str(), values.data(), values.size(), &made, &verdict);
    });
    if (const int code = P_assignvalues(tree, name.c_str(), values.data(), values.size());
        code != P_OK)
        throw py::value_error(refusal_text(code, name));
    return warnings;
}

bool assign_in(int tree, const std::string &name, const std::vector<std::string> &texts)
{
    if (rfindVar(name.c_str(), getTreeRootByIndex(tree)) == nullptr)
        return false;
    const std::vector<const char *> values = value_texts(texts);
    if (const int code = P_assignvalues(tree, name.c_str(), values.data(), values.size());
        code != P_OK)
        throw py::value_error(refusal_text(code, name));
    return true;
}

bool same_parameter(const Parameter &a, const Parameter &b)
{
    ResetTrees reset;
    place(kRulesTree, a);
    place(kSecondTree, b);
    return P_sameparam(kRulesTree, a.name.c_str(), kSecondTree, b.name.c_str()) == 1;
}

}  // namespace psenv::python
