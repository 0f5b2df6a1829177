// The generators of sampling schedules and the options each takes: one
// table behind both faces, `psenv sched make` and psenv.sched.make() of the
// Python module, and the making of a schedule by the planner's generators
// that both call.
#ifndef PSENV_TOOL_SCHED_METHODS_H
#define PSENV_TOOL_SCHED_METHODS_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sparsamp_plan.h"

namespace psenv::sched {

enum class Method {
    kUniform,      // the sampling module's own generator (CSmakeSched)
    kPoissonGap,   // csplan_poisson_gap()
    kExponential,  // csplan_exponential()
};

struct MethodSpec {
    std::string_view name;
    Method method;
};

// Every method, the module's own first.
const std::vector<MethodSpec> &methods();
std::optional<Method> method_named(std::string_view name);
std::string_view method_name(Method method);
// "uniform, poisson-gap or exponential"
std::string method_list();

// An option of the generators beyond the grid and the seed, with the
// methods that take it.  The command line writes it "--name", Python
// `name=`.
struct GeneratorOption {
    std::string_view name;
    std::vector<Method> methods;
};
const std::vector<GeneratorOption> &generator_options();
bool method_takes(Method method, std::string_view option);

// Why `option` is refused with `method`: "<d>weight belongs to <d>method
// poisson-gap", or "... belongs to the other methods" when every other
// method takes it; `dashes` is "--" for the command line, "" for Python.
std::string misplaced_option(std::string_view option, Method method, std::string_view dashes);

// Weightings of the Poisson-gap generator by name.
struct WeightSpec {
    std::string_view name;
    int code;  // CSPLAN_WEIGHT_...
};
const std::vector<WeightSpec> &weights();
std::optional<int> weight_named(std::string_view name);
// "sine or none"
std::string weight_list();

// Points of a schedule of `percent` percent of a grid of `total` points:
// rounded to the nearest whole number, at least 1.
std::int64_t points_of_density(double percent, std::int64_t total);

// Decay lengths for `dimensions` dimensions from one value or one per
// dimension, each above 0; nothing otherwise.
std::optional<std::vector<double>> decays_for(const std::vector<double> &given, int dimensions);

// Why the planner's generators cannot take `grid`, or empty.
std::string planned_grid_problem(Method method, const csplan_grid &grid);

// What a planned method makes from.
struct PlannedRequest {
    Method method = Method::kPoissonGap;
    csplan_grid grid{};
    std::int64_t points = 0;
    int weight = CSPLAN_WEIGHT_SINE;  // kPoissonGap
    std::vector<double> decay;        // kExponential: one per dimension
    std::int32_t seed = 0;
};

// The schedule's rows, row-major (grid.dimensions entries each), in grid
// order: the generator's points, then csplan_rows().  Returns CSPLAN_OK or
// the planner's code (rows then empty).
int make_planned_rows(const PlannedRequest &request, std::vector<int> &rows);

}  // namespace psenv::sched

#endif
