// csplan_*: grids, rows and the wording of the result codes.
#include <algorithm>
#include <cstring>
#include <limits>
#include <span>

#include "c_interface.h"
#include "psf.h"
#include "sparsamp.h"

static_assert(CSPLAN_MAX_DIMS == CS_MAX_DIMS, "a plan's grid is a sampling module's grid");

namespace psenv::plan {

std::optional<Grid> grid_of(const csplan_grid *grid)
{
    if (grid == nullptr || grid->dimensions < 1 || grid->dimensions > CSPLAN_MAX_DIMS)
        return std::nullopt;
    Grid result;
    result.ni.assign(grid->ni, grid->ni + grid->dimensions);
    for (const int n : result.ni)
        if (n < 1)
            return std::nullopt;
    return result;
}

void copy_detail(std::string_view text, char *detail, std::size_t size)
{
    if (detail == nullptr || size == 0)
        return;
    const std::size_t length = std::min(text.size(), size - 1);
    std::memcpy(detail, text.data(), length);
    detail[length] = '\0';
}

}  // namespace psenv::plan

using psenv::plan::grid_of;
using psenv::plan::guarded;

extern "C" int64_t csplan_grid_points(const csplan_grid *grid)
{
    // Without grid_of(): nothing here may allocate, the answer is no code.
    if (grid == nullptr || grid->dimensions < 1 || grid->dimensions > CSPLAN_MAX_DIMS)
        return 0;
    const std::span<const int> ni(grid->ni, static_cast<std::size_t>(grid->dimensions));
    if (std::any_of(ni.begin(), ni.end(), [](int n) { return n < 1; }))
        return 0;
    std::int64_t total = 1;
    for (const int n : ni) {
        if (total > std::numeric_limits<std::int64_t>::max() / n)
            return std::numeric_limits<std::int64_t>::max();
        total *= n;
    }
    return total;
}

extern "C" int csplan_rows(const csplan_grid *grid, const int64_t *indices, int64_t count,
                           int *rows, int64_t capacity)
{
    return guarded([&] {
        const auto checked = grid_of(grid);
        if (!checked || count < 0 || capacity < 0 ||
            (count > 0 && (indices == nullptr || rows == nullptr)))
            return CSPLAN_EINVAL;
        const std::int64_t points = checked->points();
        for (std::int64_t i = 0; i < count; ++i)
            if (indices[i] < 0 || indices[i] >= points)
                return CSPLAN_EINVAL;
        const int dimensions = checked->dimensions();
        if (count > capacity / dimensions)
            return CSPLAN_ERANGE;
        for (std::int64_t i = 0; i < count; ++i) {
            std::int64_t rest = indices[i];
            for (int k = 0; k < dimensions; ++k) {
                const int n = checked->ni[static_cast<std::size_t>(k)];
                rows[i * dimensions + k] = static_cast<int>(rest % n);
                rest /= n;
            }
        }
        return CSPLAN_OK;
    });
}

extern "C" double csplan_peak_to_sidelobe_db(double max_sidelobe)
{
    return psenv::plan::peak_to_sidelobe_db(max_sidelobe);
}

extern "C" const char *csplan_strerror(int code)
{
    switch (code) {
    case CSPLAN_OK:
        return "success";
    case CSPLAN_EINVAL:
        return "invalid argument";
    case CSPLAN_ERANGE:
        return "buffer too small";
    case CSPLAN_ENOMEM:
        return "not enough memory";
    case CSPLAN_ETOOBIG:
        return "the grid has more points than this function takes";
    case CSPLAN_NOT_AVAILABLE:
        return psenv::plan::psf_unavailable_message();
    case CSPLAN_EIO:
        return "the file cannot be read or written";
    case CSPLAN_ECOLUMNS:
        return "the schedule's columns differ from the grid's dimensions";
    case CSPLAN_EOUTSIDE:
        return "a schedule entry lies outside the grid";
    case CSPLAN_EEMPTY:
        return "no grid point is sampled";
    case CSPLAN_EFFT:
        return "the FFT library cannot plan this grid";
    default:
        return "unknown result code";
    }
}
