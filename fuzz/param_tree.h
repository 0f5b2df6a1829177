// Snapshots of parameter trees for the parameter-file harnesses: a walk that
// checks the record invariants on the way, and a comparison of two snapshots
// in every field, reals to the 12 significant digits the files keep.
#ifndef PSENV_FUZZ_PARAM_TREE_H
#define PSENV_FUZZ_PARAM_TREE_H

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "vartree.h"

namespace fuzz {

struct Record {
    short active = 0, dgroup = 0, group = 0, subtype = 0;
    int prot = 0;
    double min = 0, max = 0, step = 0;
    short type = 0, enumType = 0;
    std::vector<double> reals, enum_reals;
    std::vector<std::string> strings, enum_strings;
};

using Snapshot = std::map<std::string, Record>;

// A real as the files keep it.
inline std::string twelve_digits(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.12g", value);
    return text;
}

inline void take_list(const ValueNode *list, short count, short kind, std::vector<double> &reals,
                      std::vector<std::string> &strings, const char *what)
{
    int length = 0;
    for (const ValueNode *node = list; node != nullptr; node = node->next, ++length) {
        check(length < 1 << 16, what);
        if (kind == T_STRING) {
            check(node->string != nullptr, "a string value without text");
            strings.emplace_back(node->string);
        } else {
            reals.push_back(node->real);
        }
    }
    check(length == count, what);
    check(count == 0 || kind == T_REAL || kind == T_STRING, "a list of no known kind");
}

inline void walk(const SymbolNode *node, int depth, Snapshot &out)
{
    if (node == nullptr)
        return;
    // The component keeps trees shallow; a deep one means a broken shape.
    check(depth < 200, "the tree is out of shape");
    check(node->name != nullptr && node->varInfo != nullptr, "a node without name or record");
    if (node->left != nullptr)
        check(std::strcmp(node->left->name, node->name) < 0, "tree order broken on the left");
    if (node->right != nullptr)
        check(std::strcmp(node->right->name, node->name) > 0, "tree order broken on the right");
    const varInfo &v = *node->varInfo;
    Record r;
    r.active = v.active;
    r.dgroup = v.dgroup;
    r.group = v.group;
    r.subtype = v.subtype;
    r.prot = v.prot;
    r.min = v.min;
    r.max = v.max;
    r.step = v.step;
    r.type = v.type;
    r.enumType = v.enumType;
    take_list(v.values, v.size, v.type, r.reals, r.strings, "value count and list differ");
    take_list(v.enumValues, v.enumCount, v.enumType, r.enum_reals, r.enum_strings,
              "enumeration count and list differ");
    check(out.emplace(node->name, std::move(r)).second, "a name twice in one tree");
    walk(node->left, depth + 1, out);
    walk(node->right, depth + 1, out);
}

// Walks tree `tree`, checking every record on the way.
inline Snapshot snapshot(int tree)
{
    Snapshot out;
    SymbolNode **root = getTreeRootByIndex(tree);
    check(root != nullptr, "a standard tree is missing");
    walk(*root, 0, out);
    return out;
}

// The records a save writes: names the component accepts, not starting '$'.
inline Snapshot savable(const Snapshot &all)
{
    Snapshot out;
    for (const auto &[name, record] : all)
        if (name[0] != '$' && goodName(name.c_str()))
            out.emplace(name, record);
    return out;
}

inline bool same_reals(const std::vector<double> &a, const std::vector<double> &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (twelve_digits(a[i]) != twelve_digits(b[i]))
            return false;
    return true;
}

// Equal in every field a file keeps, reals to 12 significant digits.  The
// enumeration's kind is kept only through its entries.
inline bool same_record(const Record &a, const Record &b)
{
    return a.active == b.active && a.dgroup == b.dgroup && a.group == b.group &&
           a.subtype == b.subtype && a.prot == b.prot && a.type == b.type &&
           twelve_digits(a.min) == twelve_digits(b.min) &&
           twelve_digits(a.max) == twelve_digits(b.max) &&
           twelve_digits(a.step) == twelve_digits(b.step) && same_reals(a.reals, b.reals) &&
           a.strings == b.strings && same_reals(a.enum_reals, b.enum_reals) &&
           a.enum_strings == b.enum_strings &&
           (a.enum_reals.size() + a.enum_strings.size() == 0 || a.enumType == b.enumType);
}

// Reports the first difference on standard error and fails.
inline void expect_same(const Snapshot &want, const Snapshot &got, const char *what)
{
    for (const auto &[name, record] : want) {
        auto found = got.find(name);
        if (found == got.end()) {
            std::fprintf(stderr, "%s: %s is missing\n", what, name.c_str());
            fail(what);
        }
        if (!same_record(record, found->second)) {
            std::fprintf(stderr, "%s: %s differs\n", what, name.c_str());
            fail(what);
        }
    }
    for (const auto &entry : got)
        if (want.find(entry.first) == want.end()) {
            std::fprintf(stderr, "%s: %s is extra\n", what, entry.first.c_str());
            fail(what);
        }
}

inline void empty_tree(int tree)
{
    tossVars(getTreeRootByIndex(tree));
}

}  // namespace fuzz

#endif
