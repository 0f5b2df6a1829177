// The grid of a schedule from --ni or from the ni parameters of --params.
#include <cmath>

#include "cmd_sched_plan.h"
#include "param_file.h"
#include "sparsamp_plan.h"
#include "treekeep.h"

namespace psenv::sched {
namespace {

// Increments per dimension as "N[,N2...]", each at least 1.
std::optional<std::vector<int>> parse_ni_list(const std::string &text)
{
    const auto values = parse_whole_list(text, 1, CSPLAN_MOST_GENERATOR_POINTS * 64, 10);
    if (!values)
        return std::nullopt;
    return std::vector<int>(values->begin(), values->end());
}

}  // namespace

std::optional<std::vector<int>> grid_option(const Args &args, const char *command, int &status,
                                            std::vector<double> *widths)
{
    const auto ni = args.get("ni");
    const auto params = args.get("params");
    if (ni && params) {
        status = usage_error("give either --ni or --params, not both", command);
        return std::nullopt;
    }
    if (ni) {
        auto list = parse_ni_list(*ni);
        if (!list) {
            status = usage_error("--ni needs 1 to 10 whole numbers of increments (1 to " +
                                     std::to_string(CSPLAN_MOST_GENERATOR_POINTS * 64) +
                                     "), separated by commas, without signs or blanks, as in 64,32",
                                 command);
            return std::nullopt;
        }
        return list;
    }
    if (params) {
        constexpr int kTree = 1;
        tossVars(getTreeRootByIndex(kTree));
        if (!load_parameter_file(*params, kTree)) {
            status = kExitFailure;
            return std::nullopt;
        }
        std::vector<int> list = grid_from_tree(kTree);
        if (widths != nullptr)
            *widths = widths_from_tree(kTree);
        tossVars(getTreeRootByIndex(kTree));
        if (list.empty()) {
            error(*params + ": no active ni, ni2, ... parameter above 1");
            status = kExitFailure;
            return std::nullopt;
        }
        return list;
    }
    return std::vector<int>{};
}

std::vector<double> widths_from_tree(int tree)
{
    std::vector<double> widths;
    for (int j = 1; j <= CSPLAN_MAX_DIMS; ++j) {
        const std::string name = "sw" + std::to_string(j);
        double value = 0;
        if (P_getreal(tree, name.c_str(), &value, 1) != 0 || !(value > 0) || !std::isfinite(value))
            value = 0;
        widths.push_back(value);
    }
    return widths;
}

const std::vector<OptionSpec> &width_options()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (int j = 1; j <= CSPLAN_MAX_DIMS; ++j)
            list.push_back("sw" + std::to_string(j));
        return list;
    }();
    static const std::vector<OptionSpec> options = [] {
        std::vector<OptionSpec> list;
        for (const auto &name : names)
            list.push_back({name, true});
        return list;
    }();
    return options;
}

std::optional<std::vector<double>> spectral_widths(const Args &args, int dimensions,
                                                   const std::vector<double> &from_params,
                                                   const char *command, int &status)
{
    std::vector<double> widths(static_cast<std::size_t>(dimensions), 0.0);
    for (int k = 0; k < dimensions; ++k)
        if (static_cast<std::size_t>(k) < from_params.size())
            widths[static_cast<std::size_t>(k)] = from_params[static_cast<std::size_t>(k)];
    for (int j = 1; j <= CSPLAN_MAX_DIMS; ++j) {
        const std::string option = "sw" + std::to_string(j);
        const auto text = args.get(option);
        if (!text)
            continue;
        if (j > dimensions) {
            status = usage_error("--" + option + " names dimension " + std::to_string(j) +
                                     " of a grid of " + std::to_string(dimensions),
                                 command);
            return std::nullopt;
        }
        const auto value = parse_decimal(*text, 0.0, 1e12);
        if (!value || !(*value > 0)) {
            status = bad_number("--" + option, *text, "a spectral width in Hz above 0", command);
            return std::nullopt;
        }
        widths[static_cast<std::size_t>(j - 1)] = *value;
    }
    return widths;
}

}  // namespace psenv::sched
