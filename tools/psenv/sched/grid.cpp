// The grid of a schedule from --ni or from the ni parameters of --params,
// and the spectral widths of its dimensions.
#include "sched/grid.h"

#include <cmath>
#include <string>

#include "core/numbers.h"
#include "core/parameter_file.h"
#include "sparsamp_plan.h"
#include "treekeep.h"
#include "vartree.h"

namespace psenv::sched {

std::vector<int> grid_from_tree(int tree)
{
    std::vector<int> ni;
    for (int j = 1; j <= 10; ++j) {
        const std::string name = j == 1 ? "ni" : "ni" + std::to_string(j);
        double value = 0;
        if (P_getreal(tree, name.c_str(), &value, 1) != 0 || P_getactive(tree, name.c_str()) == 0 ||
            !(value > 1.0) || value >= 2147483647.0)
            continue;
        ni.push_back(static_cast<int>(static_cast<long double>(value) + 0.1L));
    }
    return ni;
}

int grid_option(const Call &call, std::vector<int> &ni, std::vector<double> *widths)
{
    const auto list = call.args.get("ni");
    const auto params = call.args.get("params");
    if (list && params)
        return call.usage("give either --ni or --params, not both");
    ni.clear();
    if (list) {
        // Increments per dimension, each at least 1.
        const auto values = parse_whole_list(*list, 1, CSPLAN_MOST_GENERATOR_POINTS * 64, 10);
        if (!values)
            return call.usage("--ni needs 1 to 10 whole numbers of increments (1 to " +
                              std::to_string(CSPLAN_MOST_GENERATOR_POINTS * 64) +
                              "), separated by commas, without signs or blanks, as in 64,32");
        ni.assign(values->begin(), values->end());
        return kExitOk;
    }
    if (params) {
        tossVars(getTreeRootByIndex(VARTREE_CURRENT));
        if (const int status = load_parameters(*params, VARTREE_CURRENT); status != kExitOk)
            return status;
        ni = grid_from_tree(VARTREE_CURRENT);
        if (widths != nullptr)
            *widths = widths_from_tree(VARTREE_CURRENT);
        tossVars(getTreeRootByIndex(VARTREE_CURRENT));
        if (ni.empty()) {
            error(*params + ": no active ni, ni2, ... parameter above 1");
            return kExitFailure;
        }
    }
    return kExitOk;
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

int spectral_widths(const Call &call, int dimensions, const std::vector<double> &from_params,
                    std::vector<double> &widths)
{
    widths.assign(static_cast<std::size_t>(dimensions), 0.0);
    for (int k = 0; k < dimensions; ++k)
        if (static_cast<std::size_t>(k) < from_params.size())
            widths[static_cast<std::size_t>(k)] = from_params[static_cast<std::size_t>(k)];
    for (int j = 1; j <= CSPLAN_MAX_DIMS; ++j) {
        const std::string option = "sw" + std::to_string(j);
        const auto text = call.args.get(option);
        if (!text)
            continue;
        if (j > dimensions)
            return call.usage("--" + option + " names dimension " + std::to_string(j) +
                              " of a grid of " + std::to_string(dimensions));
        const auto value = parse_decimal(*text, 0.0, 1e12);
        if (!value || !(*value > 0))
            return bad_number("--" + option, *text, "a spectral width in Hz above 0",
                              call.command);
        widths[static_cast<std::size_t>(j - 1)] = *value;
    }
    return kExitOk;
}

}  // namespace psenv::sched
