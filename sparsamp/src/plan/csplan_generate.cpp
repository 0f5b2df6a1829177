// csplan_poisson_gap, csplan_exponential: the generators behind the C interface.
#include <algorithm>
#include <vector>

#include "c_interface.h"
#include "generators.h"

namespace {

using psenv::plan::Grid;

// The checks both generators share, in the order the header gives.
int check_request(const std::optional<Grid> &grid, std::int64_t points, const int64_t *indices,
                  int64_t capacity)
{
    if (!grid || indices == nullptr)
        return CSPLAN_EINVAL;
    const std::int64_t total = grid->points();
    if (total > psenv::plan::kMostGeneratorPoints)
        return CSPLAN_ETOOBIG;
    if (points < 1 || points > total)
        return CSPLAN_EINVAL;
    if (capacity < points)
        return CSPLAN_ERANGE;
    return CSPLAN_OK;
}

int deliver(const std::vector<std::int64_t> &made, int64_t *indices)
{
    std::copy(made.begin(), made.end(), indices);
    return CSPLAN_OK;
}

}  // namespace

extern "C" int csplan_poisson_gap(const csplan_grid *grid, int64_t points, int weight,
                                  int32_t seed, int64_t *indices, int64_t capacity)
{
    return psenv::plan::guarded([&] {
        const auto checked = psenv::plan::grid_of(grid);
        if (const int refused = check_request(checked, points, indices, capacity); refused != 0)
            return refused;
        if (weight != CSPLAN_WEIGHT_SINE && weight != CSPLAN_WEIGHT_NONE)
            return CSPLAN_EINVAL;
        return deliver(psenv::plan::poisson_gap(*checked, points,
                                                weight == CSPLAN_WEIGHT_SINE
                                                    ? psenv::plan::GapWeight::Sine
                                                    : psenv::plan::GapWeight::None,
                                                seed),
                       indices);
    });
}

extern "C" int csplan_exponential(const csplan_grid *grid, int64_t points, const double *decay,
                                  int32_t seed, int64_t *indices, int64_t capacity)
{
    return psenv::plan::guarded([&] {
        const auto checked = psenv::plan::grid_of(grid);
        if (const int refused = check_request(checked, points, indices, capacity); refused != 0)
            return refused;
        if (decay == nullptr)
            return CSPLAN_EINVAL;
        const std::vector<double> decays(decay, decay + checked->dimensions());
        if (std::any_of(decays.begin(), decays.end(), [](double d) { return !(d > 0); }))
            return CSPLAN_EINVAL;
        return deliver(psenv::plan::exponential(*checked, points, decays, seed), indices);
    });
}
