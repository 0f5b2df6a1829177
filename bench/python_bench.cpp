// The Python module's cost over the C calls behind it.  The program embeds
// the interpreter, imports the built package (build/<preset>/python) and, in
// each iteration, times the Python call and the C calls it stands for on the
// same input, one after the other; the ratio is a counter, its target the
// label.
//
//   BM_PythonLoad/100000   psenv.params.load of a 10^5-record file against
//                          the C load of it as `psenv par` makes it: the
//                          strict check of its bytes (repeated names
//                          included) and P_read (reset included)    <= 1.3
//   BM_PythonPsf/1024      psenv.sched.psf of a 1024 x 1024 grid against
//                          csplan_mask + csplan_psf with the magnitude into
//                          buffers the caller keeps                 <= 1.2
//   BM_PythonMake/1000000  psenv.sched.make of 10^6 Poisson-gap points
//                          against csplan_make and csplan_rows, and the
//                          Python objects the call leaves per point (the
//                          array is filled in C++: 0, not 1)
//
// Times are CPU time of this thread (the module releases the GIL but runs
// on the caller's thread).
#include <benchmark/benchmark.h>
#include <pybind11/embed.h>
#include <pybind11/numpy.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "sparsamp_plan.h"
#include "treekeep.h"
#include "treekeep_files.h"
#include "vartree.h"

namespace py = pybind11;

namespace {

constexpr int kLoadTree = 2;
constexpr int kBuildTree = 3;

double cpu_seconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// One interpreter for the program, with the built package first on its path.
py::module_ &psenv_module()
{
    static py::scoped_interpreter interpreter;
    static py::module_ module = [] {
        py::module_::import("sys").attr("path").attr("insert")(0, PSENV_PYTHON_DIR);
        return py::module_::import("psenv");
    }();
    return module;
}

// A file of `count` records of mixed kinds, 1 to 5 values each, written by
// P_save (the store's own order and format).
std::string parameter_file(int count)
{
    const std::string path = "/tmp/psenv_python_bench_" + std::to_string(count) + ".par";
    SymbolNode **root = getTreeRootByIndex(kBuildTree);
    tossVars(root);
    std::mt19937 rng(11);
    for (int i = 0; i < count; ++i) {
        const bool real = rng() % 5 < 3;
        const std::string name = (real ? "r" : "s") + std::to_string(i);
        varInfo *record = RcreateVar(name.c_str(), root, real ? T_REAL : T_STRING);
        record->group = static_cast<short>(rng() % 8);
        record->active = static_cast<short>(rng() % 6 != 0);
        if (real) {
            record->min = -1e6;
            record->max = 1e6;
        }
        const int values = 1 + static_cast<int>(rng() % 5);
        for (int v = 0; v < values; ++v) {
            const int index = v == 0 ? 0 : v + 1;
            if (real)
                assignReal(std::uniform_real_distribution<double>(-1e4, 1e4)(rng), record, index);
            else
                assignString(("text " + std::to_string(rng() % 100000)).c_str(), record, index);
        }
    }
    P_save(kBuildTree, path.c_str());
    tossVars(root);
    return path;
}

std::string slurp(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void BM_PythonLoad(benchmark::State &state)
{
    py::module_ &psenv = psenv_module();
    const std::string path = parameter_file(static_cast<int>(state.range(0)));
    py::object load = psenv.attr("params").attr("load");
    load(path);  // warm: the file in the page cache, the interpreter's code loaded
    double python = 0;
    double c_load = 0;
    double read_only = 0;
    for (auto _ : state) {
        double start = cpu_seconds();
        py::object loaded = load(path);
        python += cpu_seconds() - start;
        loaded = py::none();  // freed outside the timing, as the C tree is reset inside it

        start = cpu_seconds();
        const std::string bytes = slurp(path);
        P_filecheck check{};
        const bool whole = P_checkbytes(bytes.data(), bytes.size(), P_CHECK_FIND_REPEATS, &check) !=
                           P_CHECK_DAMAGED;
        P_freecheck(&check);
        const double checked = cpu_seconds();
        P_treereset(kLoadTree);
        const int code = P_read(kLoadTree, path.c_str());
        const double end = cpu_seconds();
        c_load += end - start;
        read_only += end - checked;
        if (!whole || code != P_OK)
            state.SkipWithError("the file did not load in C");
    }
    P_treereset(kLoadTree);
    std::remove(path.c_str());
    const double n = static_cast<double>(state.iterations());
    state.counters["python_ms"] = 1e3 * python / n;
    state.counters["c_load_ms"] = 1e3 * c_load / n;
    state.counters["py_load_ratio"] = python / c_load;
    state.counters["py_load_vs_P_read"] = python / read_only;
    state.SetLabel("target python/C load <= 1.3");
}

void BM_PythonPsf(benchmark::State &state)
{
    py::module_ &psenv = psenv_module();
    const int side = static_cast<int>(state.range(0));
    csplan_grid grid{};
    grid.dimensions = 2;
    grid.ni[0] = grid.ni[1] = side;
    const std::int64_t points = csplan_grid_points(&grid);
    py::object rows = psenv.attr("sched").attr("make")(py::make_tuple(side, side),
                                                        py::arg("points") = points / 5,
                                                        py::arg("seed") = 3);
    py::object psf = psenv.attr("sched").attr("psf");
    const py::tuple ni = py::make_tuple(side, side);
    const auto held = py::array_t<std::int32_t, py::array::c_style>::ensure(rows);
    std::vector<unsigned char> mask(static_cast<std::size_t>(points));
    std::vector<float> magnitude(static_cast<std::size_t>(points));
    csplan_psf_figures figures{};
    psf(rows, ni);  // both sides plan the transform of this grid once
    csplan_mask(&grid, held.data(), held.shape(0), 2, mask.data(), points, nullptr, 0);
    csplan_psf(&grid, mask.data(), points, &figures, magnitude.data(), points, nullptr, 0);
    double python = 0;
    double c_call = 0;
    for (auto _ : state) {
        double start = cpu_seconds();
        py::object values = psf(rows, ni);
        python += cpu_seconds() - start;
        values = py::none();

        start = cpu_seconds();
        int code = csplan_mask(&grid, held.data(), held.shape(0), 2, mask.data(), points, nullptr, 0);
        if (code == CSPLAN_OK)
            code = csplan_psf(&grid, mask.data(), points, &figures, magnitude.data(), points,
                              nullptr, 0);
        c_call += cpu_seconds() - start;
        if (code != CSPLAN_OK)
            state.SkipWithError("csplan_psf failed");
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["python_ms"] = 1e3 * python / n;
    state.counters["c_ms"] = 1e3 * c_call / n;
    state.counters["py_psf_ratio"] = python / c_call;
    state.SetLabel("target python/C <= 1.2");
}

void BM_PythonMake(benchmark::State &state)
{
    py::module_ &psenv = psenv_module();
    const std::int64_t points = state.range(0);
    const int increments = static_cast<int>(points * 4);
    py::object make = psenv.attr("sched").attr("make");
    py::object blocks = py::module_::import("sys").attr("getallocatedblocks");
    csplan_grid grid{};
    grid.dimensions = 1;
    grid.ni[0] = increments;
    csplan_options options;
    csplan_options_init(&options);
    options.points = points;
    options.seed = 5;
    std::vector<std::int64_t> indices(static_cast<std::size_t>(points));
    std::vector<int> rows(static_cast<std::size_t>(points));
    double python = 0;
    double c_make = 0;
    double objects = 0;
    for (auto _ : state) {
        const long before = blocks().cast<long>();
        double start = cpu_seconds();
        py::object made = make(increments, py::arg("points") = points, py::arg("seed") = 5);
        python += cpu_seconds() - start;
        objects += static_cast<double>(blocks().cast<long>() - before);
        made = py::none();

        start = cpu_seconds();
        int code = csplan_make(&grid, &options, indices.data(), points, nullptr, nullptr, 0);
        if (code == CSPLAN_OK)
            code = csplan_rows(&grid, indices.data(), points, rows.data(), points);
        c_make += cpu_seconds() - start;
        if (code != CSPLAN_OK)
            state.SkipWithError("the generator failed");
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["python_ms"] = 1e3 * python / n;
    state.counters["c_ms"] = 1e3 * c_make / n;
    state.counters["py_make_ratio"] = python / c_make;
    state.counters["py_objects_per_point"] = objects / n / static_cast<double>(points);
    state.SetLabel("target: no Python object per point");
}

}  // namespace

BENCHMARK(BM_PythonLoad)->Arg(100000)->ArgName("records")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PythonPsf)->Arg(1024)->ArgName("side")->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_PythonMake)->Arg(1000000)->ArgName("points")->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
