// Loading a large parameter file, and the token scans behind it against
// the stdio conversions they replace.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "record_scanner.h"
#include "treekeep.h"
#include "treekeep_internal.h"

namespace {

// `records` records, alternately real (eight values) and string (two).
std::string makeFile(int records)
{
    const std::string path = "/tmp/treekeep-bench-" + std::to_string(getpid()) + ".par";
    std::FILE *out = std::fopen(path.c_str(), "w");
    for (int i = 0; i < records; ++i) {
        if (i % 2 == 0) {
            std::fprintf(out, "r%06d 0 1 %.12g %.12g %.12g 1 2 0 1 64\n8 ", i, 1e6, -1e6, 0.0);
            for (int k = 0; k < 8; ++k)
                std::fprintf(out, "%1.12g ", i * 1.0001 + k / 3.0);
            std::fprintf(out, "\n0 \n");
        } else {
            std::fprintf(out, "s%06d 0 2 0 0 0 1 2 0 1 64\n2 \"value %d\"\n\"n\"\n2 \"a\" \"b\" \n",
                         i, i);
        }
    }
    std::fclose(out);
    return path;
}

void BM_PRead(benchmark::State &state)
{
    const std::string path = makeFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        tossVars(getTreeRootByIndex(1));
        benchmark::DoNotOptimize(P_read(1, path.c_str()));
    }
    tossVars(getTreeRootByIndex(1));
    std::remove(path.c_str());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PRead)->Arg(1000)->Arg(20000);

// The real records' tokens read as the loaders read them.
template <bool Stdio>
void readReals(std::FILE *in)
{
    char name[256];
    for (;;) {
        short s[7];
        double d[3];
        int prot = 0, count = 0;
        unsigned trailer = 0;
        if constexpr (Stdio) {
            if (std::fscanf(in, "%255s", name) != 1)
                return;
            std::fscanf(in, "%hd %hd %lf %lf %lf %hd %hd %d %hd %x", &s[0], &s[1], &d[0], &d[1],
                        &d[2], &s[2], &s[3], &prot, &s[4], &trailer);
            std::fscanf(in, "%d", &count);
            for (int k = 0; k < count; ++k)
                std::fscanf(in, "%lg", &d[0]);
            std::fscanf(in, "%d", &count);
        } else {
            using namespace treekeep;
            long n = 0;
            unsigned long x = 0;
            if (scanWord(in, name, sizeof name) != Scan::Ok)
                return;
            scanInteger(in, n);
            scanInteger(in, n);
            for (double &v : d)
                scanReal(in, v);
            for (int k = 0; k < 4; ++k)
                scanInteger(in, n);
            scanHex(in, x);
            scanInteger(in, n);
            count = static_cast<int>(n);
            for (int k = 0; k < count; ++k)
                scanReal(in, d[0]);
            scanInteger(in, n);
        }
        benchmark::DoNotOptimize(d[0]);
    }
}

template <bool Stdio>
void BM_Tokens(benchmark::State &state)
{
    const std::string path = "/tmp/treekeep-bench-tokens-" + std::to_string(getpid());
    {
        std::FILE *out = std::fopen(path.c_str(), "w");
        for (int i = 0; i < 10000; ++i) {
            std::fprintf(out, "r%06d 0 1 1e+06 -1e+06 0 1 2 0 1 64\n8 ", i);
            for (int k = 0; k < 8; ++k)
                std::fprintf(out, "%1.12g ", i * 1.0001 + k / 3.0);
            std::fprintf(out, "\n0 \n");
        }
        std::fclose(out);
    }
    for (auto _ : state) {
        std::FILE *in = std::fopen(path.c_str(), "r");
        readReals<Stdio>(in);
        std::fclose(in);
    }
    std::remove(path.c_str());
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK_TEMPLATE(BM_Tokens, true)->Name("BM_TokensByFscanf");
BENCHMARK_TEMPLATE(BM_Tokens, false)->Name("BM_TokensByScanner");

}  // namespace

BENCHMARK_MAIN();
