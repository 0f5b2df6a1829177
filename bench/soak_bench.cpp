// Soak: 1000 cycles of loading a 10^4-record parameter file into an emptied
// tree, changing part of it, and saving it back over the same file.  Memory
// must stay steady: the peak resident size after cycle 1000 may not exceed
// that after cycle 10 by more than a tenth (the first cycles grow the heap to
// its working size).  Counters: rss_peak_kb_10, rss_peak_kb_1000 (VmHWM),
// rss_kb_10, rss_kb_1000 (VmRSS), rss_growth_ratio, s_per_cycle, and the
// allocator's live untagged blocks (live_blocks_10, live_blocks_1000).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "memalloc_testing.h"
#include "treekeep.h"
#include "vartree.h"
#include "vartree_testing.h"

namespace {

constexpr int kTree = 3;
constexpr int kRecords = 10000;
constexpr int kCycles = 1000;

// Resident size fields of /proc/self/status, in kB ("VmHWM" is the peak).
long statusKb(const char *field)
{
    std::FILE *status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return -1;
    char line[256];
    long value = -1;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
            value = std::strtol(line + length + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return value;
}

std::string nameOf(int i, int generation)
{
    char text[32];
    std::snprintf(text, sizeof text, "%c%05d_%d", "adgkmpsw"[i % 8], i, generation);
    return text;
}

// Mixed kinds: reals of 1-5 values with limits, strings of 1-3 values, some
// with enumerations.
void buildTree()
{
    SymbolNode **root = getTreeRootByIndex(kTree);
    tossVars(root);
    for (int i = 0; i < kRecords; ++i) {
        const std::string name = nameOf(i, 0);
        if (i % 3 == 2) {
            varInfo *v = RcreateUVar(name.c_str(), root, T_STRING);
            for (int k = 0; k <= i % 3; ++k)
                assignString(k == 0 ? "y" : "a \"quoted\" text", v, k == 0 ? 0 : k + 1);
            if (i % 6 == 5) {
                assignEString("y", v, 0);
                assignEString("n", v, 2);
            }
            v->group = static_cast<short>(i % 8);
        } else {
            varInfo *v = RcreateUVar(name.c_str(), root, T_REAL);
            for (int k = 0; k < 1 + i % 5; ++k)
                assignReal(i * 0.001 + k / 3.0, v, k == 0 ? 0 : k + 1);
            v->max = 1e6;
            v->min = -1e6;
            v->step = 0.5;
            v->prot = i % 4 == 0 ? 0x10 : 0;
        }
    }
}

// What a user does between load and save: change values, grow and shrink
// lists (keeping their lengths), and replace one parameter by a new name, so that the set of names
// keeps changing while the tree's size stays put.  `generation` holds the
// current name suffix of every record.
void modify(int cycle, std::vector<int> &generation)
{
    for (int k = 0; k < 100; ++k) {
        const int i = (cycle * 37 + k * 101) % kRecords;
        const std::string name = nameOf(i, generation[static_cast<std::size_t>(i)]);
        if (i % 3 == 2) {
            P_setstring(kTree, name.c_str(), cycle % 2 ? "changed" : "y", 1);
            continue;
        }
        // Grow the list by one and take one value out elsewhere: the data
        // moves, its volume stays.
        P_setreal(kTree, name.c_str(), cycle + k * 0.25, 1);
        int size = 0;
        P_getsize(kTree, name.c_str(), &size);
        P_setreal(kTree, name.c_str(), -1.0, size + 1);
        P_deleteVarIndex(kTree, name.c_str(), 1 + cycle % (size + 1));
    }
    const int victim = (cycle * 7919) % kRecords;
    int &suffix = generation[static_cast<std::size_t>(victim)];
    P_deleteVar(kTree, nameOf(victim, suffix).c_str());
    const std::string fresh = nameOf(victim, ++suffix);
    if (victim % 3 == 2) {
        P_creatvar(kTree, fresh.c_str(), T_STRING);
        P_setstring(kTree, fresh.c_str(), "new", 1);
    } else {
        P_creatvar(kTree, fresh.c_str(), T_REAL);
        P_setreal(kTree, fresh.c_str(), cycle, 1);
    }
}

void BM_SoakLoadModifySave(benchmark::State &state)
{
    char dir[] = "/tmp/psenv_soak_XXXXXX";
    if (mkdtemp(dir) == nullptr) {
        state.SkipWithError("no scratch directory");
        return;
    }
    const std::string path = std::string(dir) + "/soak.par";
    SymbolNode **root = getTreeRootByIndex(kTree);
    long peak = 0;
    long peak10 = 0;
    long rss10 = 0;
    double blocks10 = 0;
    for (auto _ : state) {
        std::vector<int> generation(kRecords, 0);
        buildTree();
        if (P_save(kTree, path.c_str()) != 0) {
            state.SkipWithError("first save failed");
            break;
        }
        for (int cycle = 1; cycle <= kCycles; ++cycle) {
            tossVars(root);
            if (P_read(kTree, path.c_str()) != 0) {
                state.SkipWithError("load failed");
                break;
            }
            if (vartree_count(root) != kRecords) {
                state.SkipWithError("load lost or gained records");
                break;
            }
            modify(cycle, generation);
            if (P_save(kTree, path.c_str()) != 0) {
                state.SkipWithError("save failed");
                break;
            }
            // The kernel updates its high-water mark lazily, so the peak is
            // also sampled here after every cycle.
            peak = std::max(peak, statusKb("VmHWM"));
            if (cycle == 10) {
                peak10 = peak;
                rss10 = statusKb("VmRSS");
                blocks10 = static_cast<double>(memalloc_live_blocks(nullptr));
            }
        }
    }
    const long peak1000 = std::max(peak, statusKb("VmHWM"));
    state.counters["rss_peak_kb_10"] = static_cast<double>(peak10);
    state.counters["rss_peak_kb_1000"] = static_cast<double>(peak1000);
    state.counters["rss_kb_10"] = static_cast<double>(rss10);
    state.counters["rss_kb_1000"] = static_cast<double>(statusKb("VmRSS"));
    state.counters["live_blocks_10"] = blocks10;
    state.counters["live_blocks_1000"] = static_cast<double>(memalloc_live_blocks(nullptr));
    state.counters["rss_growth_ratio"] =
        peak10 > 0 ? static_cast<double>(peak1000) / static_cast<double>(peak10) : 0.0;
    state.counters["s_per_cycle"] = benchmark::Counter(
        kCycles, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    tossVars(root);
    std::remove(path.c_str());
    rmdir(dir);
}
BENCHMARK(BM_SoakLoadModifySave)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
