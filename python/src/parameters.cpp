// psenv.params: parameter files loaded through the parameter store, changed
// by the rules of `psenv par set`, saved through its guarded edit, compared
// as `psenv par diff` compares them.
//
// A ParameterData holds the parameters as plain data in the file's order,
// the bytes it was loaded from, and what changed since.  A save starts from
// those bytes loaded into a scratch tree, exactly as `par set` starts from
// the file, and makes the same calls of the store for each change, so the
// bytes written are the ones `par set` writes for the same change -- and
// for several, the ones of `par set` run once for each in turn: a tree
// loaded from a file is balanced, so the tree is balanced again before
// each new parameter after the first goes in.
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <string_view>
#include <utility>
#include <vector>

#include <pybind11/stl.h>

#include "errors.h"
#include "errsink.h"
#include "module_lock.h"
#include "module_parts.h"
#include "parameter_file_guard.h"
#include "parameter_rules.h"
#include "parameter_table.h"
#include "treekeep.h"
#include "treekeep_values.h"

namespace py = pybind11;

namespace psenv::python {
namespace {

using Param = Parameter;

// Bit of the protection that forbids changing a parameter's values.
constexpr int kWriteProtect = 0x0001;

// A record's value count is a 16-bit field.
constexpr std::size_t kMostValues = 32767;

void keep_message(const char *text, void *context)
{
    static_cast<std::vector<std::string> *>(context)->emplace_back(text);
}

// Loads `bytes` into the empty tree `tree` as P_read loads a file (the full
// load, then the balance); the loader's messages are returned.
std::vector<std::string> load_bytes(int tree, const std::string &bytes)
{
    std::vector<std::string> messages;
    SymbolNode **root = getTreeRootByIndex(tree);
    if (bytes.empty() || root == nullptr)
        return messages;
    std::FILE *stream = fmemopen(const_cast<char *>(bytes.data()), bytes.size(), "r");
    if (stream == nullptr)
        throw std::bad_alloc();
    const werr_hook previous = Werrprintf_set_hook(keep_message, &messages);
    readfromdisk(root, stream);
    Werrprintf_set_hook(previous, nullptr);
    std::fclose(stream);
    balance(root);
    for (std::string &message : messages)
        while (!message.empty() && message.back() == '\n')
            message.pop_back();
    return messages;
}

// A parameter just made in `tree`, without its values.
Param table_param(int tree, const std::string &name)
{
    Param param;
    param.name = name;
    const varInfo *record = rfindVar(name.c_str(), getTreeRootByIndex(tree));
    if (record == nullptr)
        return param;
    param.type = record->type;
    param.subtype = record->subtype;
    param.group = record->group;
    param.dgroup = record->dgroup;
    param.active = record->active;
    param.prot = record->prot;
    param.min = record->min;
    param.max = record->max;
    param.step = record->step;
    param.enumeration.type = record->enumType;
    return param;
}

class ParameterData {
public:
    static std::unique_ptr<ParameterData> load(const std::string &path);

    const std::string &path() const { return path_; }
    std::size_t size() const { return table_->size(); }
    bool contains(const std::string &name) const { return table_->find(name).has_value(); }
    std::vector<std::string> names() const;
    py::tuple view(const std::string &name) const;
    std::vector<std::string> set(const std::string &name, bool numbers,
                                 const std::vector<std::string> &texts);
    std::vector<std::string> create(const std::string &name, const std::string &type,
                                    const std::vector<std::string> &texts,
                                    const NewAttributes &attributes);
    void remove(const std::string &name);
    void save(const std::optional<std::string> &target, bool force, double wait);
    std::vector<std::tuple<std::string, py::object, py::object>> diff(const ParameterData &other) const;
    bool modified() const { return !reshaped_.empty() || !values_.empty(); }

private:
    // A parameter made (with its values) or removed.
    struct Reshape {
        bool create;
        std::string name;
        int type = 0;
        std::vector<std::string> texts;
        NewAttributes attributes;
    };
    using Values = std::map<std::string, std::vector<std::string>>;

    std::size_t at(const std::string &name) const;
    std::vector<Param> limit_arrays() const;
    void fill(int tree, const std::vector<Reshape> &reshaped, const Values &values) const;

    std::string path_;
    std::string base_;  // the bytes loaded: what a save starts from
    std::unique_ptr<ParameterTable> table_ = std::make_unique<ParameterTable>();
    // Changes since the load: parameters made and removed, in order, and
    // the last values set on each parameter.
    std::vector<Reshape> reshaped_;
    Values values_;
};

// What the strict check and the loader make of `path`: its bytes and its
// parameters in file order.  Inside the lock.
std::pair<std::string, std::unique_ptr<ParameterTable>> read_file(const std::string &path,
                                                                  std::vector<std::string> &warnings)
{
    CheckedFile checked = check_parameter_file(path);
    if (checked.damaged) {
        const Problem &first = checked.problems.front();
        throw DamagedFile(path + ": the parameter file is damaged (line " + std::to_string(first.first) +
                              ": " + first.second + ")",
                          checked.problems);
    }
    for (const Problem &problem : checked.problems)
        warnings.push_back(path + ":" + std::to_string(problem.first) + ": " + problem.second);
    // The store's own load of the file, as `psenv par` loads it after the
    // check; its parameters are copied out in the order of the file.
    std::vector<std::string> messages;
    P_treereset(rules_tree());
    const werr_hook previous = Werrprintf_set_hook(keep_message, &messages);
    const int code = P_read(rules_tree(), path.c_str());
    Werrprintf_set_hook(previous, nullptr);
    if (code != P_OK)
        messages.push_back(refusal_text(code, path));
    if (!messages.empty()) {
        P_treereset(rules_tree());
        std::string text = path + ": not all of the file could be read:";
        for (std::string &message : messages) {
            while (!message.empty() && message.back() == '\n')
                message.pop_back();
            text += "\n" + message;
        }
        throw py::value_error(text);
    }
    auto table = ParameterTable::from_tree(rules_tree(), checked.names, checked.bytes.size());
    P_treereset(rules_tree());
    return {std::move(checked.bytes), std::move(table)};
}

std::unique_ptr<ParameterData> ParameterData::load(const std::string &path)
{
    auto data = std::make_unique<ParameterData>();
    std::vector<std::string> warnings;
    {
        ModuleLock lock;
        auto [bytes, table] = read_file(path, warnings);
        data->path_ = path;
        data->base_ = std::move(bytes);
        data->table_ = std::move(table);
    }
    warn_all(warnings);
    return data;
}

std::size_t ParameterData::at(const std::string &name) const
{
    const auto found = table_->find(name);
    if (!found)
        throw py::key_error(name);
    return *found;
}

std::vector<std::string> ParameterData::names() const
{
    std::vector<std::string> names;
    names.reserve(table_->size());
    for (std::size_t i = 0; i < table_->size(); ++i)
        names.emplace_back(table_->name(i));
    return names;
}

// parmin and parmax, where limits held by position resolve.
std::vector<Param> ParameterData::limit_arrays() const
{
    std::vector<Param> arrays;
    for (const char *array : {"parmin", "parmax"})
        if (const auto found = table_->find(array))
            arrays.push_back(table_->param(*found));
    return arrays;
}

py::tuple list_of(const ParameterTable &table, const ParameterTable::List &list)
{
    py::tuple out(list.count);
    for (std::size_t k = 0; k < list.count; ++k) {
        if (list.type == T_STRING)
            out[k] = py::str(std::string(table.text(list, k)));
        else
            out[k] = py::float_(table.real(list, k));
    }
    return out;
}

// (name, type, values, max, min, step, active, group, dgroup, protection,
// enum, subtype): what a psenv.params.Parameter shows.
py::tuple ParameterData::view(const std::string &name) const
{
    const ParameterTable::Entry &e = table_->entry(at(name));
    return py::make_tuple(name, type_name(e.type), list_of(*table_, e.values), e.max, e.min,
                          e.step, e.active != 0, e.group, e.dgroup, e.prot,
                          list_of(*table_, e.enumeration), e.subtype);
}

ValueList value_list(int type, const std::vector<std::string> &texts)
{
    ValueList values;
    values.type = type;
    for (const std::string &text : texts) {
        double real = 0.0;  // the rules let only numbers through
        if (type == T_STRING)
            values.texts.push_back(text);
        else if (P_valuereal(text.c_str(), &real) == P_REAL_NUMBER)
            values.reals.push_back(real);
        else
            values.reals.push_back(0.0);
    }
    return values;
}

// The value rules of `par set` for new values of `name`: `numbers` says
// whether the texts stand for Python numbers.  Returns the warnings.
std::vector<std::string> ParameterData::set(const std::string &name, bool numbers,
                                            const std::vector<std::string> &texts)
{
    if (texts.empty())
        throw py::value_error(name + ": a parameter needs at least one value");
    if (texts.size() > kMostValues)
        throw py::value_error(name + ": a parameter holds at most 32767 values");
    const Param param = table_->param(at(name));
    const std::vector<Param> limits = limit_arrays();
    // The kind of a Python value decides before its text does.
    if ((param.prot & kWriteProtect) != 0)
        throw py::value_error(refusal_text(P_PROT, name));
    if (param.type == T_REAL && !numbers)
        throw py::value_error(refusal_text(P_TYPE, name, quoted(texts.front()) + " is not a number"));
    if (param.type == T_STRING && numbers)
        throw py::value_error(refusal_text(P_TYPE, name, texts.front() + " is not a string"));
    std::vector<std::string> warnings;
    {
        ModuleLock lock;
        warnings = check_values(param, limits, texts);
    }
    table_->set_values(at(name), value_list(param.type, texts));
    values_[name] = texts;
    return warnings;
}

std::vector<std::string> ParameterData::create(const std::string &name, const std::string &type,
                                               const std::vector<std::string> &texts,
                                               const NewAttributes &attributes)
{
    if (contains(name))
        throw py::value_error(name + ": the set holds this parameter already");
    if (type != "real" && type != "string")
        throw py::value_error("type must be 'real' or 'string', not '" + type + "'");
    if (texts.empty())
        throw py::value_error(name + ": a parameter needs at least one value");
    if (texts.size() > kMostValues)
        throw py::value_error(name + ": a parameter holds at most 32767 values");
    const int code = type == "real" ? T_REAL : T_STRING;
    const std::vector<Param> limits = limit_arrays();
    std::vector<std::string> warnings;
    Param param;
    {
        ModuleLock lock;
        const int tree = rules_tree();
        P_treereset(tree);
        struct ResetTree {
            int tree;
            ~ResetTree() { P_treereset(tree); }
        } reset{tree};
        for (const Param &array : limits)
            place(tree, array);
        warnings = create_in(tree, name, code, texts, attributes);
        param = table_param(tree, name);
    }
    param.values = value_list(code, texts);
    table_->append(param);
    values_.erase(name);
    reshaped_.push_back({true, name, code, texts, attributes});
    return warnings;
}

void ParameterData::remove(const std::string &name)
{
    table_->erase(at(name));
    values_.erase(name);
    reshaped_.push_back({false, name, 0, {}, {}});
}

// The save's tree: the loaded bytes as `par set` loads the file, then the
// changes by the store's calls `par set` makes.  Inside the lock.
void ParameterData::fill(int tree, const std::vector<Reshape> &reshaped, const Values &values) const
{
    if (const auto messages = load_bytes(tree, base_); !messages.empty())
        throw py::value_error(path_ + ": " + messages.front());
    SymbolNode **root = getTreeRootByIndex(tree);
    bool balanced = true;  // a removal balances the tree, a new parameter does not
    for (const Reshape &change : reshaped) {
        if (!balanced)
            balance(root);
        balanced = !change.create;
        if (!change.create)
            P_deleteVar(tree, change.name.c_str());
        else
            create_in(tree, change.name, change.type, change.texts, change.attributes);
    }
    for (const auto &[name, texts] : values)
        assign_in(tree, name, texts);
}

void ParameterData::save(const std::optional<std::string> &target, bool force, double wait)
{
    const std::string path = target.value_or(path_);
    // Copies: the object may change in other threads while the lock is held.
    const std::vector<Reshape> reshaped = reshaped_;
    const Values values = values_;
    const std::optional<std::string> expected =
        target ? std::nullopt : std::optional<std::string>(base_);
    std::vector<std::string> warnings;
    std::optional<std::pair<std::string, std::unique_ptr<ParameterTable>>> saved;
    {
        ModuleLock lock;
        save_parameter_file(path, force, wait, expected,
                            [&](int tree) { fill(tree, reshaped, values); });
        if (!target)
            saved = read_file(path, warnings);
    }
    // The set now holds what its file holds.
    if (saved) {
        base_ = std::move(saved->first);
        table_ = std::move(saved->second);
        reshaped_.clear();
        values_.clear();
    }
    warn_all(warnings);
}

// `par diff`'s judgement: names only in one set, and names whose
// parameters differ in any field.
std::vector<std::tuple<std::string, py::object, py::object>> ParameterData::diff(
    const ParameterData &other) const
{
    std::set<std::string> names;
    for (std::size_t i = 0; i < table_->size(); ++i)
        names.emplace(table_->name(i));
    for (std::size_t i = 0; i < other.table_->size(); ++i)
        names.emplace(other.table_->name(i));
    std::vector<std::tuple<std::string, py::object, py::object>> differences;
    for (const std::string &name : names) {
        const auto here = table_->find(name);
        const auto there = other.table_->find(name);
        if (here && there &&
            same_parameter(table_->param(*here), other.table_->param(*there)))
            continue;
        const auto values_of = [&name](const ParameterData &data, bool present) {
            return present ? py::object(data.view(name)[2]) : py::object(py::none());
        };
        differences.emplace_back(name, values_of(*this, here.has_value()),
                                 values_of(other, there.has_value()));
    }
    return differences;
}

// psenv.params.check(): the problems of `par check`, repeats included.
std::vector<Problem> check(const std::string &path)
{
    ModuleLock lock;
    return check_parameter_file(path).problems;
}

}  // namespace

void add_parameters(py::module_ &module)
{
    py::class_<ParameterData>(module, "ParameterData")
        .def_static("load", &ParameterData::load, py::arg("path"))
        .def_property_readonly("path", &ParameterData::path)
        .def("__len__", &ParameterData::size)
        .def("__contains__", &ParameterData::contains)
        .def("names", &ParameterData::names)
        .def("view", &ParameterData::view, py::arg("name"))
        .def("set", &ParameterData::set, py::arg("name"), py::arg("numbers"), py::arg("texts"))
        .def(
            "create",
            [](ParameterData &data, const std::string &name, const std::string &type,
               const std::vector<std::string> &texts, std::optional<double> min,
               std::optional<double> max, std::optional<double> step, std::optional<int> group,
               std::optional<int> prot) {
                NewAttributes attributes;
                attributes.min = min;
                attributes.max = max;
                attributes.step = step;
                attributes.group = group;
                attributes.prot = prot;
                return data.create(name, type, texts, attributes);
            },
            py::arg("name"), py::arg("type"), py::arg("texts"), py::arg("min"), py::arg("max"),
            py::arg("step"), py::arg("group"), py::arg("prot"))
        .def("remove", &ParameterData::remove, py::arg("name"))
        .def("save", &ParameterData::save, py::arg("target"), py::arg("force"), py::arg("wait"))
        .def("diff", &ParameterData::diff, py::arg("other"))
        .def_property_readonly("modified", &ParameterData::modified);
    module.def("params_check", &check, py::arg("path"));
    module.attr("default_edit_wait") = default_edit_wait();
}

}  // namespace psenv::python
