// Variable-tree costs the parameter store leans on: look-ups in small and
// very large trees, the look-up-then-create pattern of the file loaders,
// whole-tree rebuilds, appends to one value list, and the store's read of a
// first value.
//
// Value lists are limited by the record: its `size` field is 16 bits wide,
// so the component refuses an append beyond 32767 values.  Linearity of
// appending is therefore shown on 10^3, 10^4 and 32767 values: the
// per-append cost must stay flat across the three.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "treekeep.h"
#include "vartree.h"
#include "vartree_testing.h"

namespace {

constexpr int kScratchTree = 3;

enum Order { kSorted = 0, kRandom = 1 };

// Distinct names of 2 to 7 characters whose first bytes vary as those of
// real parameter names do; a bijective mix of the index keeps them unique.
std::string nameOf(std::uint32_t i)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::uint32_t mixed = i * 2654435761U;  // odd multiplier: a bijection mod 2^32
    std::string name;
    do {
        name += kLetters[mixed % 52];
        mixed /= 52;
    } while (mixed != 0);
    if (name.size() < 2)
        name += '_';
    return name;
}

// `count` distinct names in strcmp order or shuffled.
const std::vector<std::string> &names(long count, int order)
{
    static std::vector<std::string> cache[2][8];
    int slot = static_cast<int>(std::log10(static_cast<double>(count)));
    std::vector<std::string> &list = cache[order][slot];
    if (list.size() != static_cast<std::size_t>(count)) {
        list.clear();
        list.reserve(static_cast<std::size_t>(count));
        for (long i = 0; i < count; ++i)
            list.push_back(nameOf(static_cast<std::uint32_t>(i)));
        std::sort(list.begin(), list.end());
        if (order == kRandom)
            std::shuffle(list.begin(), list.end(), std::mt19937_64(20261209));
    }
    return list;
}

SymbolNode **scratch()
{
    return getTreeRootByIndex(kScratchTree);
}

// What a loader does per record: look the name up, create it when missing,
// give it its first value.
void loadNames(const std::vector<std::string> &list, SymbolNode **root)
{
    double value = 0.0;
    for (const std::string &name : list) {
        varInfo *v = rfindVar(name.c_str(), root);
        if (v == nullptr)
            v = RcreateUVar(name.c_str(), root, T_REAL);
        assignReal(value, v, 0);
        value += 1.0;
    }
}

// Per-item seconds shown as the counter's value (ns once scaled below).
benchmark::Counter perItem(double items)
{
    return benchmark::Counter(items, benchmark::Counter::kIsIterationInvariantRate |
                                         benchmark::Counter::kInvert);
}

// `count` appends to one list (index i for value number i), as a loader
// reads a long record.  The list is released outside the timing.  These run
// first, on a fresh heap: after the million-node trees below have been freed,
// each new value node comes from a free chunk scattered somewhere in a large,
// fragmented heap, and a long list then costs a cache and TLB miss per
// append whatever the list code does (about 10x on the machine measured).
void BM_AppendReals(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    SymbolNode **root = scratch();
    tossVars(root);
    varInfo *v = RcreateUVar("bigarray", root, T_REAL);
    for (auto _ : state) {
        assignReal(0.0, v, 0);
        for (int i = 2; i <= count; ++i)
            assignReal(static_cast<double>(i), v, i);
        state.PauseTiming();
        if (v->size != count)
            state.SkipWithError("list shorter than expected");
        RcreateUVar("bigarray", root, T_REAL);
        state.ResumeTiming();
    }
    state.counters["s_per_append"] = perItem(count);
    tossVars(root);
}
BENCHMARK(BM_AppendReals)->Arg(1000)->Arg(10000)->Arg(32767)->ArgName("values")->Unit(benchmark::kMicrosecond);

void BM_AppendStrings(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    SymbolNode **root = scratch();
    tossVars(root);
    varInfo *v = RcreateUVar("bigtext", root, T_STRING);
    for (auto _ : state) {
        assignString("value", v, 0);
        for (int i = 2; i <= count; ++i)
            assignString("value", v, i);
        state.PauseTiming();
        RcreateUVar("bigtext", root, T_STRING);
        state.ResumeTiming();
    }
    state.counters["s_per_append"] = perItem(count);
    tossVars(root);
}
BENCHMARK(BM_AppendStrings)->Arg(1000)->Arg(32767)->ArgName("values")->Unit(benchmark::kMicrosecond);

void BM_LoadNames(benchmark::State &state)
{
    const long count = state.range(0);
    const auto &list = names(count, static_cast<int>(state.range(1)));
    SymbolNode **root = scratch();
    tossVars(root);
    int depth = 0;
    for (auto _ : state) {
        loadNames(list, root);
        state.PauseTiming();
        depth = vartree_depth(root);
        tossVars(root);
        state.ResumeTiming();
    }
    const double bound = 3.0 * std::log2(static_cast<double>(count));
    state.counters["s_per_record"] = perItem(static_cast<double>(count));
    state.counters["depth"] = depth;
    state.counters["depth_bound"] = bound;
    state.counters["depth_ratio"] = depth / bound;
}
BENCHMARK(BM_LoadNames)
    ->ArgsProduct({{1000, 100000, 1000000}, {kSorted, kRandom}})
    ->ArgNames({"names", "random"})
    ->Unit(benchmark::kMillisecond);

void BM_FindVar(benchmark::State &state)
{
    const long count = state.range(0);
    SymbolNode **root = scratch();
    tossVars(root);
    // The tree is built in the order under test; look-ups go in a fixed
    // shuffled order so that neither case gets a warm path for free.
    for (const std::string &name : names(count, static_cast<int>(state.range(1))))
        RcreateUVar(name.c_str(), root, T_REAL);
    const auto &probe = names(count, kRandom);
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(rfindVar(probe[next].c_str(), root));
        if (++next == probe.size())
            next = 0;
    }
    state.counters["depth"] = vartree_depth(root);
    tossVars(root);
}
BENCHMARK(BM_FindVar)
    ->ArgsProduct({{1000, 1000000}, {kSorted, kRandom}})
    ->ArgNames({"names", "random"})
    ->Unit(benchmark::kNanosecond);

// Look-up of a name the tree lacks, as the loaders do before each creation.
void BM_FindVarMissing(benchmark::State &state)
{
    const long count = state.range(0);
    SymbolNode **root = scratch();
    tossVars(root);
    for (const std::string &name : names(count, kRandom))
        RcreateUVar(name.c_str(), root, T_REAL);
    std::vector<std::string> probe;
    for (long i = 0; i < 4096; ++i)
        probe.push_back(nameOf(static_cast<std::uint32_t>(count + i)));
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(rfindVar(probe[next].c_str(), root));
        next = (next + 1) & 4095;
    }
    tossVars(root);
}
BENCHMARK(BM_FindVarMissing)->Arg(1000)->Arg(1000000)->ArgName("names")->Unit(benchmark::kNanosecond);

// Whole-tree rebuild, as P_read does after every load.
void BM_Balance(benchmark::State &state)
{
    const long count = state.range(0);
    SymbolNode **root = scratch();
    tossVars(root);
    for (const std::string &name : names(count, kRandom))
        RcreateUVar(name.c_str(), root, T_REAL);
    for (auto _ : state)
        balance(root);
    state.counters["s_per_node"] = perItem(static_cast<double>(count));
    tossVars(root);
}
BENCHMARK(BM_Balance)->Arg(1000)->Arg(100000)->Arg(1000000)->ArgName("names")->Unit(benchmark::kMillisecond);

void BM_TossVars(benchmark::State &state)
{
    const long count = state.range(0);
    const auto &list = names(count, kRandom);
    SymbolNode **root = scratch();
    for (auto _ : state) {
        state.PauseTiming();
        loadNames(list, root);
        state.ResumeTiming();
        tossVars(root);
    }
    state.counters["s_per_node"] = perItem(static_cast<double>(count));
}
BENCHMARK(BM_TossVars)->Arg(100000)->ArgName("names")->Unit(benchmark::kMillisecond);

// The store's own read of a first value: tree look-up, record look-up,
// list walk of one step.
void BM_GetRealFirst(benchmark::State &state)
{
    const long count = state.range(0);
    SymbolNode **root = scratch();
    tossVars(root);
    loadNames(names(count, kRandom), root);
    const auto &probe = names(count, kRandom);
    std::size_t next = 0;
    double value = 0.0;
    for (auto _ : state) {
        if (P_getreal(kScratchTree, probe[next].c_str(), &value, 1) != 0)
            state.SkipWithError("value missing");
        benchmark::DoNotOptimize(value);
        next = (next + 997) % probe.size();
    }
    tossVars(root);
}
BENCHMARK(BM_GetRealFirst)->Arg(1000)->Arg(1000000)->ArgName("names")->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
