// Every parameter-file loader on arbitrary bytes: P_read, readvaluesfromdisk,
// readNewVarsfromdisk, P_rtx in its four loadAll/clearBit combinations and
// P_readnames, each on a tree prepared with a few parameters the seeds name.
//
// After every load the tree must still be walkable (each count matching its
// list, names in order) and savable; after the full load a save of it must
// also load back equal.
// Each loader must also keep its promises about what it leaves alone.
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "memalloc.h"
#include "param_tree.h"
#include "treekeep.h"
#include "treekeep_internal.h"

namespace {

constexpr int kTree = 3;
constexpr int kCheck = 4;
constexpr std::size_t kLongestWholeString = TREEKEEP_STRING_BUFFER - 2;

varInfo *real_parameter(const char *name, int prot, std::initializer_list<double> values)
{
    varInfo *v = RcreateVar(name, getTreeRootByIndex(kTree), T_REAL);
    fuzz::check(v != nullptr, "cannot prepare a parameter");
    v->prot = prot;
    v->max = 100;
    v->step = 0.5;
    v->group = 2;
    int index = 0;
    for (double value : values) {
        assignReal(value, v, index == 0 ? 0 : index + 1);
        ++index;
    }
    assignEReal(1.5, v, 0);
    return v;
}

varInfo *string_parameter(const char *name, int prot, std::initializer_list<const char *> values)
{
    varInfo *v = RcreateVar(name, getTreeRootByIndex(kTree), T_STRING);
    fuzz::check(v != nullptr, "cannot prepare a parameter");
    v->prot = prot;
    v->active = 0;
    int index = 0;
    for (const char *value : values) {
        assignString(value, v, index == 0 ? 0 : index + 1);
        ++index;
    }
    assignEString("y", v, 0);
    assignEString("n", v, 2);
    return v;
}

// The tree every loader starts from.
fuzz::Snapshot prepare()
{
    fuzz::empty_tree(kTree);
    real_parameter("a", 0, {1, 2, 3});
    string_parameter("b", 0, {"x", "y\"z"});
    real_parameter("p", P_PROT_SELECTIVE, {7});
    string_parameter("s", P_PROT_SELECTIVE | P_PROT_UNSHARED, {"kept"});
    real_parameter("width", 0, {});
    string_parameter("mode", 0, {"red"});
    return fuzz::snapshot(kTree);
}

// A save of the tree must load back equal, unless the tree holds what no
// file can carry: a type the readers refuse, or a string the readers cut.
bool file_can_carry(const fuzz::Snapshot &tree)
{
    for (const auto &entry : tree) {
        const fuzz::Record &r = entry.second;
        if (r.type != T_REAL && r.type != T_STRING)
            return false;
        for (const auto *list : {&r.strings, &r.enum_strings})
            for (const std::string &text : *list)
                if (text.size() > kLongestWholeString)
                    return false;
        // An enumeration of the other kind is written in the record's layout.
        if (!r.enum_reals.empty() && r.type == T_STRING)
            return false;
        if (!r.enum_strings.empty() && r.type == T_REAL)
            return false;
    }
    return true;
}

// Walks the tree and saves it.  With `reload`, the saved file is also loaded
// into another tree and compared (done for the full load, whose records can
// take every shape the others can, to keep the runs fast).
fuzz::Snapshot check_tree(bool reload = false)
{
    const fuzz::Snapshot loaded = fuzz::snapshot(kTree);
    static const std::string saved = fuzz::scratch("saved.par");
    fuzz::check(P_save(kTree, saved.c_str()) == P_OK, "a loaded tree cannot be saved");
    if (!reload)
        return loaded;
    fuzz::empty_tree(kCheck);
    fuzz::check(P_read(kCheck, saved.c_str()) == P_OK, "a saved tree cannot be loaded");
    if (file_can_carry(loaded))
        fuzz::expect_same(fuzz::savable(loaded), fuzz::snapshot(kCheck), "save of a loaded tree");
    fuzz::empty_tree(kCheck);
    return loaded;
}

template <typename Reader>
int with_stream(const std::string &path, Reader reader)
{
    std::FILE *file = std::fopen(path.c_str(), "r");
    fuzz::check(file != nullptr, "cannot open the input");
    const int result = reader(getTreeRootByIndex(kTree), file);
    std::fclose(file);
    return result;
}

// Parameters present before a load and untouched by it, per the loader.
void expect_kept(const fuzz::Snapshot &before, const fuzz::Snapshot &after,
                 bool (*kept)(const fuzz::Record &), const char *what)
{
    for (const auto &[name, record] : before) {
        if (!kept(record))
            continue;
        auto found = after.find(name);
        fuzz::check(found != after.end(), what);
        fuzz::check(fuzz::same_record(record, found->second), what);
    }
}

// readvaluesfromdisk changes values only: every other field, and the set of
// names, stays.
void expect_only_values_changed(const fuzz::Snapshot &before, const fuzz::Snapshot &after)
{
    fuzz::check(before.size() == after.size(), "readvaluesfromdisk changed the names");
    for (const auto &[name, record] : before) {
        auto found = after.find(name);
        fuzz::check(found != after.end(), "readvaluesfromdisk removed a parameter");
        fuzz::Record expected = record;
        expected.reals = found->second.reals;
        expected.strings = found->second.strings;
        fuzz::check(fuzz::same_record(expected, found->second),
                    "readvaluesfromdisk changed more than values");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::silence_messages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const std::string path = fuzz::scratch("input.par");
    fuzz::write_file(path, data, size);

    prepare();
    fuzz::check(P_read(kTree, path.c_str()) == P_OK, "P_read failed on an existing file");
    check_tree(true);

    fuzz::Snapshot before = prepare();
    int result = with_stream(path, readvaluesfromdisk);
    fuzz::check(result == 0 || result == -1, "unexpected result of readvaluesfromdisk");
    expect_only_values_changed(before, check_tree());

    before = prepare();
    result = with_stream(path, readNewVarsfromdisk);
    fuzz::check(result == 0 || result == -1, "unexpected result of readNewVarsfromdisk");
    expect_kept(before, check_tree(), [](const fuzz::Record &) { return true; },
                "readNewVarsfromdisk changed an existing parameter");

    for (int loadAll = 0; loadAll <= 1; ++loadAll)
        for (int clearBit = 0; clearBit <= 1; ++clearBit) {
            before = prepare();
            result = P_rtx(kTree, path.c_str(), loadAll, clearBit);
            fuzz::check(result == P_OK || result == P_WRITE, "unexpected result of P_rtx");
            const fuzz::Snapshot after = check_tree();
            expect_kept(before, after,
                        [](const fuzz::Record &r) { return (r.prot & P_PROT_SELECTIVE) != 0; },
                        "P_rtx overwrote a protected parameter");
            if (clearBit != 0)
                for (const auto &[name, record] : after) {
                    auto old = before.find(name);
                    const bool was_protected =
                        old != before.end() && (old->second.prot & P_PROT_SELECTIVE) != 0;
                    fuzz::check(was_protected || (record.prot & P_PROT_SELECTIVE) == 0,
                                "P_rtx kept the selective bit although asked to clear it");
                }
        }

    char *names = reinterpret_cast<char *>(&names);  // must be replaced
    fuzz::check(P_readnames(path.c_str(), &names) == P_OK, "P_readnames failed on an existing file");
    fuzz::check(names != reinterpret_cast<char *>(&names), "P_readnames left the list unset");
    release(names);

    fuzz::empty_tree(kTree);
    return 0;
}
