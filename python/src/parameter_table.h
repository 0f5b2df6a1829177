// The parameters of a ParameterSet, packed: one entry per parameter in the
// file's order, its name and values in shared buffers, found by name
// through a hash index that holds no copy of the names.  A load copies a
// tree into it without an allocation per parameter; a Parameter is made
// only for the parameter a rule or a comparison needs.
#ifndef PSENV_PYTHON_PARAMETER_TABLE_H
#define PSENV_PYTHON_PARAMETER_TABLE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace psenv::python {

// One value list (values or enumeration) as plain data.  `type` is the
// list's type code; only the vector of that kind is filled (reals for any
// type but T_STRING).
struct ValueList {
    int type = 0;
    std::vector<double> reals;
    std::vector<std::string> texts;

    std::size_t count() const { return type == 2 ? texts.size() : reals.size(); }
};

// A parameter copied out of the table.
struct Parameter {
    std::string name;
    int type = 0;
    int subtype = 0;
    int group = 0;
    int dgroup = 0;
    int active = 0;
    int prot = 0;
    double min = 0.0;
    double max = 0.0;
    double step = 0.0;
    ValueList values;
    ValueList enumeration;
};

class ParameterTable {
public:
    // A list of values: `count` entries from `at` in reals() (type 1, or
    // any type but 2) or in the texts (type 2).
    struct List {
        std::uint32_t at = 0;
        std::uint32_t count = 0;
        short type = 0;
    };
    struct Entry {
        std::uint32_t name_at = 0;
        std::uint32_t name_size = 0;
        short type = 0, subtype = 0, group = 0, dgroup = 0, active = 0;
        int prot = 0;
        double min = 0, max = 0, step = 0;
        List values;
        List enumeration;
    };

    ParameterTable();
    // The index refers to the table itself.
    ParameterTable(const ParameterTable &) = delete;
    ParameterTable &operator=(const ParameterTable &) = delete;

    // The parameters of `tree` (loaded from a file of `file_size` bytes) in
    // the order of `names` (a name's first place; names the tree lacks are
    // passed over).
    static std::unique_ptr<ParameterTable> from_tree(int tree, const std::vector<std::string> &names,
                                                     std::size_t file_size);

    std::size_t size() const { return entries_.size(); }
    std::optional<std::size_t> find(std::string_view name) const;
    const Entry &entry(std::size_t at) const { return entries_[at]; }
    std::string_view name(std::size_t at) const;
    double real(const List &list, std::size_t k) const { return reals_[list.at + k]; }
    std::string_view text(const List &list, std::size_t k) const;

    Parameter param(std::size_t at) const;
    void set_values(std::size_t at, const ValueList &values);
    void append(const Parameter &param);
    void erase(std::size_t at);

private:
    std::uint32_t add_name(std::string_view name);
    List add_list(const ValueList &values);
    void reindex(std::size_t expected = 0);
    void index(std::size_t at);
    static std::size_t hash(std::string_view name) { return std::hash<std::string_view>{}(name); }

    std::vector<Entry> entries_;
    std::string names_;
    std::vector<double> reals_;
    std::string text_bytes_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> texts_;  // (at, size) in text_bytes_
    // Open addressing, linear probing: entry index + 1 per used slot, 0 for
    // a free one; at most half the slots used.  No allocation per name.
    std::vector<std::uint32_t> slots_;
};

}  // namespace psenv::python

#endif
