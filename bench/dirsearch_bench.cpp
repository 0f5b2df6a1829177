// Wildcard matching and directory search.  The many-star pattern against a
// run of "a" must stay well under a millisecond per call.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "dirsearch.h"

namespace {

void NscmpManyStars(benchmark::State &state)
{
    const std::string name(60, 'a');
    for (auto _ : state)
        benchmark::DoNotOptimize(nscmp("*a*a*a*a*a*a*a*a*a*a*b", name.c_str()));
}
BENCHMARK(NscmpManyStars)->Unit(benchmark::kMicrosecond);

void NscmpOrdinary(benchmark::State &state)
{
    const char *patterns[] = {"*.par", "onepulse%", "*ghmqc*.fid", "HMQC"};
    const char *names[] = {"wet1d.par", "onepulse2", "gHMQC_n15.fid", "hmqc", "longer_name.txt"};
    for (auto _ : state)
        for (const char *pattern : patterns)
            for (const char *name : names)
                benchmark::DoNotOptimize(nscmp(pattern, name));
    state.SetItemsProcessed(state.iterations() * 20);
}
BENCHMARK(NscmpOrdinary)->Unit(benchmark::kNanosecond);

// Ten application directories, the file only in the last one.
void AppdirFindTenEntries(benchmark::State &state)
{
    std::string base = (std::filesystem::temp_directory_path() / "dsbench-XXXXXX").string();
    if (mkdtemp(base.data()) == nullptr)
        std::abort();
    std::string list;
    for (int i = 0; i < 10; ++i) {
        std::string dir = base + "/app" + std::to_string(i);
        std::filesystem::create_directories(dir + "/seqlib");
        list += dir + ";";
    }
    std::ofstream(base + "/app9/seqlib/onepulse.par") << "x\n";
    setAppdirValue(list.c_str());
    char result[DIRSEARCH_MAX_CANDIDATE + 1];
    for (auto _ : state)
        benchmark::DoNotOptimize(appdirFind("onepulse", "seqlib", result, ".par", 4));
    setAppdirValue(nullptr);
    std::filesystem::remove_all(base);
}
BENCHMARK(AppdirFindTenEntries)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
