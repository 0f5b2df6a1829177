// csplan_options_init, csplan_make, csplan_strides: making a schedule from
// the one table of options.
#include <algorithm>
#include <string>
#include <vector>

#include "c_interface.h"
#include "generators.h"
#include "plan_make.h"
#include "psf.h"

using psenv::plan::copy_detail;
using psenv::plan::grid_of;
using psenv::plan::guarded;

extern "C" void csplan_options_init(csplan_options *options)
{
    if (options == nullptr)
        return;
    *options = csplan_options{};
    options->method = CSPLAN_METHOD_POISSON_GAP;
    options->seed = 169;
    options->sine_portion = CSPLAN_SINE_QUARTER;
    options->walk = CSPLAN_WALK_DEFAULT;
    options->order = CSPLAN_ORDER_GRID;
    options->best_of = 1;
    options->exclude = CSPLAN_DEFAULT_EXCLUDE;
}

extern "C" int csplan_make(const csplan_grid *grid, const csplan_options *options,
                           int64_t *indices, int64_t capacity, csplan_made *made, char *detail,
                           size_t detail_size)
{
    copy_detail("", detail, detail_size);
    std::string reason;
    const int code = guarded([&] {
        const auto checked = grid_of(grid);
        if (!checked || options == nullptr || indices == nullptr) {
            reason = "no grid, no options or no buffer for the indices";
            return CSPLAN_EINVAL;
        }
        const std::int64_t total = checked->points();
        if (total > psenv::plan::kMostGeneratorPoints ||
            (options->best_of > 1 && total > psenv::plan::kMostPsfPoints)) {
            reason = "the grid has " + std::to_string(total) + " points, more than " +
                     std::to_string(psenv::plan::kMostGeneratorPoints);
            return CSPLAN_ETOOBIG;
        }
        int walk = CSPLAN_WALK_DEFAULT;
        if (const int refused = psenv::plan::check_options(*checked, *options, walk, reason);
            refused != CSPLAN_OK)
            return refused;
        if (capacity < options->points)
            return CSPLAN_ERANGE;
        if (options->best_of > 1 && !psenv::plan::psf_available())
            return CSPLAN_NOT_AVAILABLE;
        std::vector<std::int64_t> result;
        csplan_made how{};
        if (const int failed = psenv::plan::make_schedule(*checked, *options, walk, result, how, reason);
            failed != CSPLAN_OK)
            return failed;
        std::copy(result.begin(), result.end(), indices);
        if (made != nullptr)
            *made = how;
        return CSPLAN_OK;
    });
    if (code != CSPLAN_OK)
        copy_detail(reason.empty() ? csplan_strerror(code) : reason, detail, detail_size);
    return code;
}

extern "C" int csplan_strides(const csplan_grid *grid, const int64_t *indices, int64_t count,
                              int64_t *strides, int capacity)
{
    return guarded([&] {
        const auto checked = grid_of(grid);
        if (!checked || count < 0 || strides == nullptr || (count > 0 && indices == nullptr))
            return CSPLAN_EINVAL;
        const std::int64_t total = checked->points();
        if (std::any_of(indices, indices + count, [total](int64_t m) { return m < 0 || m >= total; }))
            return CSPLAN_EINVAL;
        if (capacity < checked->dimensions())
            return CSPLAN_ERANGE;
        const auto found = psenv::plan::common_strides(
            *checked, std::vector<std::int64_t>(indices, indices + count));
        std::copy(found.begin(), found.end(), strides);
        return CSPLAN_OK;
    });
}
