#include "sched_methods.h"

#include <algorithm>
#include <cmath>

namespace psenv::sched {

const std::vector<MethodSpec> &methods()
{
    static const std::vector<MethodSpec> table = {
        {"uniform", Method::kUniform},
        {"poisson-gap", Method::kPoissonGap},
        {"exponential", Method::kExponential},
    };
    return table;
}

const std::vector<GeneratorOption> &generator_options()
{
    static const std::vector<GeneratorOption> table = {
        {"points", {Method::kPoissonGap, Method::kExponential}},
        {"weight", {Method::kPoissonGap}},
        {"decay", {Method::kExponential}},
    };
    return table;
}

const std::vector<WeightSpec> &weights()
{
    static const std::vector<WeightSpec> table = {
        {"sine", CSPLAN_WEIGHT_SINE},
        {"none", CSPLAN_WEIGHT_NONE},
    };
    return table;
}

namespace {

// "a, b or c"
template <typename Table>
std::string word_list(const Table &table)
{
    std::string list;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (i != 0)
            list += i + 1 == table.size() ? " or " : ", ";
        list += table[i].name;
    }
    return list;
}

}  // namespace

std::optional<Method> method_named(std::string_view name)
{
    for (const MethodSpec &spec : methods())
        if (spec.name == name)
            return spec.method;
    return std::nullopt;
}

std::string_view method_name(Method method)
{
    for (const MethodSpec &spec : methods())
        if (spec.method == method)
            return spec.name;
    return "?";
}

std::string method_list()
{
    return word_list(methods());
}

bool method_takes(Method method, std::string_view option)
{
    for (const GeneratorOption &spec : generator_options())
        if (spec.name == option)
            return std::find(spec.methods.begin(), spec.methods.end(), method) != spec.methods.end();
    return false;
}

std::string misplaced_option(std::string_view option, Method method, std::string_view dashes)
{
    std::vector<std::string_view> takers;
    bool every_other = true;
    for (const MethodSpec &spec : methods()) {
        if (method_takes(spec.method, option))
            takers.push_back(spec.name);
        else if (spec.method != method)
            every_other = false;
    }
    std::string text = std::string(dashes) + std::string(option) + " belongs to ";
    if (every_other)
        return text + "the other methods";
    text += std::string(dashes) + "method ";
    for (std::size_t i = 0; i < takers.size(); ++i)
        text += std::string(i == 0 ? "" : " or ") + std::string(takers[i]);
    return text;
}

std::optional<int> weight_named(std::string_view name)
{
    for (const WeightSpec &spec : weights())
        if (spec.name == name)
            return spec.code;
    return std::nullopt;
}

std::string weight_list()
{
    return word_list(weights());
}

std::int64_t points_of_density(double percent, std::int64_t total)
{
    const auto k = static_cast<std::int64_t>(
        std::floor(percent / 100.0 * static_cast<double>(total) + 0.5));
    return std::max<std::int64_t>(k, 1);
}

std::optional<std::vector<double>> decays_for(const std::vector<double> &given, int dimensions)
{
    if (given.empty() ||
        std::any_of(given.begin(), given.end(), [](double d) { return !(d > 0) || !std::isfinite(d); }))
        return std::nullopt;
    std::vector<double> decays = given;
    if (decays.size() == 1)
        decays.assign(static_cast<std::size_t>(dimensions), decays.front());
    if (static_cast<int>(decays.size()) != dimensions)
        return std::nullopt;
    return decays;
}

std::string planned_grid_problem(Method method, const csplan_grid &grid)
{
    const std::int64_t total = csplan_grid_points(&grid);
    if (total <= CSPLAN_MOST_GENERATOR_POINTS)
        return {};
    return std::string(method_name(method)) + " takes grids of up to " +
           std::to_string(CSPLAN_MOST_GENERATOR_POINTS) + " points; this one has " +
           (total == INT64_MAX ? std::string("more than 2^63") : std::to_string(total));
}

int make_planned_rows(const PlannedRequest &request, std::vector<int> &rows)
{
    rows.clear();
    std::vector<std::int64_t> indices(static_cast<std::size_t>(std::max<std::int64_t>(request.points, 0)));
    int made = CSPLAN_EINVAL;
    if (request.method == Method::kPoissonGap)
        made = csplan_poisson_gap(&request.grid, request.points, request.weight, request.seed,
                                  indices.data(), request.points);
    else if (request.method == Method::kExponential)
        made = csplan_exponential(&request.grid, request.points,
                                  request.decay.size() == static_cast<std::size_t>(request.grid.dimensions)
                                      ? request.decay.data()
                                      : nullptr,
                                  request.seed, indices.data(), request.points);
    if (made != CSPLAN_OK)
        return made;
    rows.resize(indices.size() * static_cast<std::size_t>(request.grid.dimensions));
    made = csplan_rows(&request.grid, indices.data(), request.points, rows.data(),
                       static_cast<std::int64_t>(rows.size()));
    if (made != CSPLAN_OK)
        rows.clear();
    return made;
}

}  // namespace psenv::sched
