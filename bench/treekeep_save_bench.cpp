// Writing parameter records: reals dominate large files, so their text form
// sets the pace of a save.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "treekeep_internal.h"

namespace {

SymbolNode **scratch() { return getTreeRootByIndex(3); }

// One record of `count` reals, written to /dev/null.
void StoreRealRecord(benchmark::State &state)
{
    tossVars(scratch());
    varInfo *v = RcreateVar("fid", scratch(), T_REAL);
    for (int i = 0; i < state.range(0); ++i)
        assignReal(i * 0.123456789, v, i + 1);
    FILE *sink = std::fopen("/dev/null", "w");
    for (auto _ : state)
        benchmark::DoNotOptimize(storeOnDisk("fid", v, sink));
    std::fclose(sink);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    tossVars(scratch());
}
BENCHMARK(StoreRealRecord)->Arg(16)->Arg(4096);

// A tree of a few thousand typical parameters, walked and written.
void CopyTreeToDisk(benchmark::State &state)
{
    tossVars(scratch());
    for (int i = 0; i < 4000; ++i) {
        std::string name = "p" + std::to_string(i);
        if (i % 3 == 0) {
            varInfo *v = RcreateVar(name.c_str(), scratch(), T_STRING);
            assignString("a text \"quoted\" value", v, 0);
        } else {
            varInfo *v = RcreateVar(name.c_str(), scratch(), T_REAL);
            assignReal(i / 7.0, v, 0);
            v->max = 1e9;
            v->min = -1e9;
            v->step = 0.1;
        }
    }
    FILE *sink = std::fopen("/dev/null", "w");
    for (auto _ : state)
        benchmark::DoNotOptimize(copytodisk(scratch(), sink));
    std::fclose(sink);
    state.SetItemsProcessed(state.iterations() * 4000);
    tossVars(scratch());
}
BENCHMARK(CopyTreeToDisk)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
