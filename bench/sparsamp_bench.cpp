// Schedule making against its floor (the random() calls it consumes plus
// clearing and scanning a mask of the grid's size), and schedule reading
// against a plain read of the file's bytes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "draw_index.h"
#include "sparsamp.h"
#include "vartree.h"

namespace {

struct Shape {
    std::vector<std::pair<int, double>> dims;  // ni, CSdensity
};

const Shape kShapes[] = {
    {{{65536, 50}}},
    {{{512, 25}, {512, 25}}},
    {{{128, 10}, {128, 10}, {128, 10}}},
};

void configure(const Shape &shape, const char *type = nullptr)
{
    SymbolNode **root = getTreeRootByIndex(1);
    tossVars(root);
    int j = 1;
    for (auto [ni, density] : shape.dims) {
        const std::string suffix = j == 1 ? "" : std::to_string(j);
        assignReal(ni, RcreateVar(("ni" + suffix).c_str(), root, T_REAL), 0);
        assignReal(density, RcreateVar(("CSdensity" + suffix).c_str(), root, T_REAL), 0);
        ++j;
    }
    if (type != nullptr)
        assignString(type, RcreateVar("CStype", root, T_STRING), 0);
    CSinit(0, nullptr);
}

// How many random() calls a schedule of this configuration consumes.
long draws_needed()
{
    CSinfo info;
    CSgetInfo(&info);
    std::vector<char> mask(static_cast<std::size_t>(info.total));
    srandom(static_cast<unsigned>(info.seed));
    mask[0] = 1;
    long draws = 0;
    for (int taken = 1; taken < info.num;) {
        const long r = random();
        ++draws;
        const auto index = sparsamp::draw_index_extended(r, info.total);
        if (index < info.total && mask[static_cast<std::size_t>(index)] == 0) {
            mask[static_cast<std::size_t>(index)] = 1;
            ++taken;
        }
    }
    return draws;
}

void BM_MakeSched(benchmark::State &state)
{
    configure(kShapes[state.range(0)]);
    for (auto _ : state) {
        // As in an experiment, each schedule follows an initialisation, which
        // releases the blocks of the one before.
        state.PauseTiming();
        CSinit(0, nullptr);
        state.ResumeTiming();
        CSmakeSched();
        benchmark::DoNotOptimize(getCSval(0, getCSnum() - 1));
    }
    state.counters["points"] = getCSnum();
}

void BM_MakeSchedFloor(benchmark::State &state)
{
    configure(kShapes[state.range(0)]);
    const long draws = draws_needed();
    CSinfo info;
    CSgetInfo(&info);
    std::vector<char> mask(static_cast<std::size_t>(info.total));
    for (auto _ : state) {
        srandom(1);
        long sum = 0;
        for (long i = 0; i < draws; ++i)
            sum += random();
        std::memset(mask.data(), 0, mask.size());
        benchmark::ClobberMemory();
        for (char c : mask)
            sum += c;
        benchmark::DoNotOptimize(sum);
    }
    state.counters["draws"] = static_cast<double>(draws);
}

BENCHMARK(BM_MakeSched)->Arg(0)->Arg(1)->Arg(2)->ArgName("shape")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MakeSchedFloor)->Arg(0)->Arg(1)->Arg(2)->ArgName("shape")->Unit(benchmark::kMicrosecond);

// A two-column file of 10^6 rows in a scratch directory.
class ScheduleFileFixture {
public:
    static constexpr int kRows = 1000000;
    ScheduleFileFixture()
    {
        char pattern[] = "/tmp/sparsamp_bench_XXXXXX";
        if (mkdtemp(pattern) != nullptr)
            dir_ = pattern;
        std::FILE *file = std::fopen((dir_ + "/sampling.sch").c_str(), "w");
        if (file == nullptr)
            return;
        for (int i = 0; i < kRows; ++i)
            std::fprintf(file, "%-4d %-4d \n", i % 1000, i / 1000);
        std::fclose(file);
    }
    ~ScheduleFileFixture()
    {
        std::remove((dir_ + "/sampling.sch").c_str());
        rmdir(dir_.c_str());
    }
    const std::string &dir() const { return dir_; }

private:
    std::string dir_;
};

const ScheduleFileFixture &schedule_file()
{
    static const ScheduleFileFixture fixture;
    return fixture;
}

void BM_ReadSched(benchmark::State &state)
{
    const std::string &dir = schedule_file().dir();
    configure(Shape{{{1000, 100}, {1000, 100}}}, "i");
    for (auto _ : state) {
        state.PauseTiming();
        CSinit(0, nullptr);  // frees the previous read
        state.ResumeTiming();
        if (CSreadSched(dir.c_str()) != 0)
            state.SkipWithError("read failed");
    }
    state.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(getCSnum()), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ReadFileBytes(benchmark::State &state)
{
    const std::string path = schedule_file().dir() + "/sampling.sch";
    std::vector<char> buffer(1 << 16);
    for (auto _ : state) {
        std::FILE *file = std::fopen(path.c_str(), "r");
        std::size_t bytes = 0;
        while (std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file))
            bytes += got;
        std::fclose(file);
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["rows/s"] = benchmark::Counter(ScheduleFileFixture::kRows,
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_ReadSched)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
