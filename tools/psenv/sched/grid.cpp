// The grid of a schedule from --ni or from the ni parameters of --params.
#include "sched/planning.h"
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

std::optional<std::vector<int>> grid_option(const Args &args, const char *command, int &status)
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

}  // namespace psenv::sched
