#include "parameter_table.h"

#include <algorithm>

#include "treekeep.h"
#include "treekeep_values.h"

namespace psenv::python {

ParameterTable::ParameterTable() = default;

std::string_view ParameterTable::name(std::size_t at) const
{
    const Entry &e = entries_[at];
    return std::string_view(names_).substr(e.name_at, e.name_size);
}

std::string_view ParameterTable::text(const List &list, std::size_t k) const
{
    const auto &[at, size] = texts_[list.at + k];
    return std::string_view(text_bytes_).substr(at, size);
}

std::optional<std::size_t> ParameterTable::find(std::string_view name) const
{
    if (slots_.empty())
        return std::nullopt;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash(name) & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t used = slots_[slot];
        if (used == 0)
            return std::nullopt;
        if (this->name(used - 1) == name)
            return used - 1;
    }
}

void ParameterTable::index(std::size_t at)
{
    if (2 * (at + 1) > slots_.size()) {
        reindex();  // takes `at` in too
        return;
    }
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = hash(name(at)) & mask;
    while (slots_[slot] != 0)
        slot = (slot + 1) & mask;
    slots_[slot] = static_cast<std::uint32_t>(at + 1);
}

std::uint32_t ParameterTable::add_name(std::string_view name)
{
    const auto at = static_cast<std::uint32_t>(names_.size());
    names_.append(name);
    return at;
}

ParameterTable::List ParameterTable::add_list(const ValueList &values)
{
    List list;
    list.type = static_cast<short>(values.type);
    list.count = static_cast<std::uint32_t>(values.count());
    if (values.type == T_STRING) {
        list.at = static_cast<std::uint32_t>(texts_.size());
        for (const std::string &text : values.texts) {
            texts_.emplace_back(static_cast<std::uint32_t>(text_bytes_.size()),
                                static_cast<std::uint32_t>(text.size()));
            text_bytes_.append(text);
        }
    } else {
        list.at = static_cast<std::uint32_t>(reals_.size());
        reals_.insert(reals_.end(), values.reals.begin(), values.reals.end());
    }
    return list;
}

void ParameterTable::reindex(std::size_t expected)
{
    std::size_t size = 16;
    while (size < 2 * std::max(expected, entries_.size()) + 2)
        size *= 2;
    slots_.assign(size, 0);
    const std::size_t mask = size - 1;
    for (std::size_t at = 0; at < entries_.size(); ++at) {
        std::size_t slot = hash(name(at)) & mask;
        while (slots_[slot] != 0)
            slot = (slot + 1) & mask;
        slots_[slot] = static_cast<std::uint32_t>(at + 1);
    }
}

namespace {

// The list of a record as the walks over a record's lists take it: up to
// the count or the list's end, whichever comes first.
template <typename AddReal, typename AddText>
std::uint32_t walk_list(const ValueNode *node, int count, int type, AddReal add_real, AddText add_text)
{
    std::uint32_t taken = 0;
    for (; taken < static_cast<std::uint32_t>(count > 0 ? count : 0) && node != nullptr;
         ++taken, node = node->next) {
        if (type == T_STRING)
            add_text(node->string != nullptr ? std::string_view(node->string) : std::string_view());
        else
            add_real(node->real);
    }
    return taken;
}

}  // namespace

std::unique_ptr<ParameterTable> ParameterTable::from_tree(int tree, const std::vector<std::string> &names,
                                                          std::size_t file_size)
{
    auto made = std::make_unique<ParameterTable>();
    ParameterTable &table = *made;
    // Room at once for what a file of this size can hold (a value takes
    // two bytes at least, "0 "): the buffers are not copied as they grow.
    table.entries_.reserve(names.size());
    table.names_.reserve(file_size / 4);
    table.reals_.reserve(file_size / 8);
    table.text_bytes_.reserve(file_size / 4);
    table.texts_.reserve(file_size / 16);
    const auto add_real = [&table](double value) { table.reals_.push_back(value); };
    const auto add_text = [&table](std::string_view text) {
        table.texts_.emplace_back(static_cast<std::uint32_t>(table.text_bytes_.size()),
                                  static_cast<std::uint32_t>(text.size()));
        table.text_bytes_.append(text);
    };
    // One walk over the tree (in name order) copies every record; the
    // records then take the order of the file.
    struct Walk {
        ParameterTable *table;
        const decltype(add_real) *real;
        const decltype(add_text) *text;
    };
    Walk walk{&table, &add_real, &add_text};
    const int walked = P_eachparam(
        tree,
        [](const char *name_text, const varInfo *record, void *context) {
            const Walk &w = *static_cast<Walk *>(context);
            ParameterTable &table = *w.table;
            const std::string_view name(name_text);
            Entry entry;
            entry.name_at = table.add_name(name);
            entry.name_size = static_cast<std::uint32_t>(name.size());
            entry.type = record->type;
            entry.subtype = record->subtype;
            entry.group = record->group;
            entry.dgroup = record->dgroup;
            entry.active = record->active;
            entry.prot = record->prot;
            entry.min = record->min;
            entry.max = record->max;
            entry.step = record->step;
            entry.values.type = record->type;
            entry.values.at = static_cast<std::uint32_t>(
                record->type == T_STRING ? table.texts_.size() : table.reals_.size());
            entry.values.count =
                walk_list(record->values, record->size, record->type, *w.real, *w.text);
            entry.enumeration.type = record->enumType;
            entry.enumeration.at = static_cast<std::uint32_t>(
                record->enumType == T_STRING ? table.texts_.size() : table.reals_.size());
            entry.enumeration.count = walk_list(record->enumValues, record->enumCount,
                                                record->enumType, *w.real, *w.text);
            table.entries_.push_back(entry);
        },
        &walk);
    if (walked == P_MALLOC)
        throw std::bad_alloc();
    table.reindex();
    // A repeat keeps its first place (the load kept its last record); a
    // record the tree lacks is passed over.
    std::vector<Entry> ordered;
    ordered.reserve(table.entries_.size());
    std::vector<char> taken(table.entries_.size(), 0);
    for (const std::string &name : names)
        if (const auto at = table.find(name); at && !taken[*at]) {
            taken[*at] = 1;
            ordered.push_back(table.entries_[*at]);
        }
    table.entries_ = std::move(ordered);
    table.reindex();
    return made;
}

Parameter ParameterTable::param(std::size_t at) const
{
    const Entry &e = entries_[at];
    Parameter param;
    param.name = name(at);
    param.type = e.type;
    param.subtype = e.subtype;
    param.group = e.group;
    param.dgroup = e.dgroup;
    param.active = e.active;
    param.prot = e.prot;
    param.min = e.min;
    param.max = e.max;
    param.step = e.step;
    for (auto [list, into] : {std::pair{&e.values, &param.values}, std::pair{&e.enumeration, &param.enumeration}}) {
        into->type = list->type;
        for (std::size_t k = 0; k < list->count; ++k) {
            if (list->type == T_STRING)
                into->texts.emplace_back(text(*list, k));
            else
                into->reals.push_back(real(*list, k));
        }
    }
    return param;
}

void ParameterTable::set_values(std::size_t at, const ValueList &values)
{
    const List list = add_list(values);
    entries_[at].values = list;
}

void ParameterTable::append(const Parameter &param)
{
    Entry entry;
    entry.name_at = add_name(param.name);
    entry.name_size = static_cast<std::uint32_t>(param.name.size());
    entry.type = static_cast<short>(param.type);
    entry.subtype = static_cast<short>(param.subtype);
    entry.group = static_cast<short>(param.group);
    entry.dgroup = static_cast<short>(param.dgroup);
    entry.active = static_cast<short>(param.active);
    entry.prot = param.prot;
    entry.min = param.min;
    entry.max = param.max;
    entry.step = param.step;
    entry.values = add_list(param.values);
    entry.enumeration = add_list(param.enumeration);
    entries_.push_back(entry);
    index(entries_.size() - 1);
}

void ParameterTable::erase(std::size_t at)
{
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(at));
    reindex();
}

}  // namespace psenv::python
