// csplan_mask, csplan_largest_gaps, csplan_psf: the figures of a schedule
// behind the C interface.
#include <algorithm>
#include <span>
#include <string>

#include "c_interface.h"
#include "psf.h"

namespace {

using psenv::plan::copy_detail;
using psenv::plan::Grid;

// A mask of exactly the grid's points, as the figures take it.
bool fits(const Grid &grid, const unsigned char *mask, int64_t mask_size)
{
    return mask != nullptr && mask_size == grid.points();
}

}  // namespace

extern "C" int csplan_mask(const csplan_grid *grid, const int *rows, int64_t count, int columns,
                           unsigned char *mask, int64_t mask_size, char *detail,
                           size_t detail_size)
{
    copy_detail("", detail, detail_size);
    const int code = psenv::plan::guarded([&] {
        const auto checked = psenv::plan::grid_of(grid);
        if (!checked || count < 0 || columns < 0 || mask == nullptr ||
            (count > 0 && rows == nullptr))
            return CSPLAN_EINVAL;
        if (mask_size < checked->points())
            return CSPLAN_ERANGE;
        if (columns != checked->dimensions()) {
            copy_detail(psenv::plan::columns_problem(static_cast<std::size_t>(columns),
                                                     checked->dimensions()),
                        detail, detail_size);
            return CSPLAN_ECOLUMNS;
        }
        sparsamp::ScheduleEntries entries;
        for (int k = 0; k < columns; ++k)
            entries.columns.push_back(rows == nullptr ? nullptr : rows + k);
        entries.rows = count;
        entries.step = columns;
        std::string problem;
        const int marked = psenv::plan::mark_rows(*checked, entries, mask, problem);
        copy_detail(problem, detail, detail_size);
        return marked;
    });
    if (code == CSPLAN_EINVAL || code == CSPLAN_ERANGE || code == CSPLAN_ENOMEM)
        copy_detail(csplan_strerror(code), detail, detail_size);
    return code;
}

extern "C" int csplan_largest_gaps(const csplan_grid *grid, const unsigned char *mask,
                                   int64_t mask_size, int64_t *gaps, int capacity)
{
    return psenv::plan::guarded([&] {
        const auto checked = psenv::plan::grid_of(grid);
        if (!checked || gaps == nullptr || !fits(*checked, mask, mask_size))
            return CSPLAN_EINVAL;
        if (capacity < checked->dimensions())
            return CSPLAN_ERANGE;
        const auto found = psenv::plan::largest_gaps(
            *checked, std::span(mask, static_cast<std::size_t>(mask_size)));
        std::copy(found.begin(), found.end(), gaps);
        return CSPLAN_OK;
    });
}

extern "C" int csplan_psf_available(void)
{
    return psenv::plan::psf_available() ? 1 : 0;
}

namespace {

// csplan_psf() and csplan_psf_far(): the far figures with `far` given.
int psf_figures(const csplan_grid *grid, const unsigned char *mask, int64_t mask_size,
                int exclude, csplan_psf_figures *figures, csplan_far_figures *far,
                float *magnitude, int64_t magnitude_size, char *detail, size_t detail_size)
{
    copy_detail("", detail, detail_size);
    std::string reason;
    const int code = psenv::plan::guarded([&] {
        if (!psenv::plan::psf_available())
            return CSPLAN_NOT_AVAILABLE;
        const auto checked = psenv::plan::grid_of(grid);
        if (!checked || figures == nullptr || exclude < -1)
            return CSPLAN_EINVAL;
        if (checked->points() > psenv::plan::kMostPsfPoints)
            return CSPLAN_ETOOBIG;
        if (!fits(*checked, mask, mask_size))
            return CSPLAN_EINVAL;
        if (magnitude != nullptr && magnitude_size < mask_size)
            return CSPLAN_ERANGE;
        psenv::plan::PsfFigures made;
        const int transformed = psenv::plan::transform(
            *checked, std::span(mask, static_cast<std::size_t>(mask_size)), made, magnitude,
            reason, exclude);
        if (transformed != CSPLAN_OK)
            return transformed;
        csplan_psf_figures result{};
        result.points = made.points;
        result.grid = made.grid;
        result.max_sidelobe = made.max_sidelobe;
        std::copy(made.at.begin(), made.at.end(), result.at);
        std::copy(made.largest_gap.begin(), made.largest_gap.end(), result.largest_gap);
        *figures = result;
        if (far != nullptr) {
            csplan_far_figures outside{};
            outside.far_sidelobe = made.far_sidelobe;
            std::copy(made.far_at.begin(), made.far_at.end(), outside.at);
            outside.exclude = made.exclude;
            outside.outside = made.outside;
            outside.shoulder = made.shoulder ? 1 : 0;
            *far = outside;
        }
        return CSPLAN_OK;
    });
    if (code != CSPLAN_OK)
        copy_detail(reason.empty() ? csplan_strerror(code) : reason, detail, detail_size);
    return code;
}

}  // namespace

extern "C" int csplan_psf(const csplan_grid *grid, const unsigned char *mask, int64_t mask_size,
                          csplan_psf_figures *figures, float *magnitude, int64_t magnitude_size,
                          char *detail, size_t detail_size)
{
    return psf_figures(grid, mask, mask_size, -1, figures, nullptr, magnitude, magnitude_size,
                       detail, detail_size);
}

extern "C" int csplan_psf_far(const csplan_grid *grid, const unsigned char *mask,
                              int64_t mask_size, int exclude, csplan_psf_figures *figures,
                              csplan_far_figures *far, float *magnitude, int64_t magnitude_size,
                              char *detail, size_t detail_size)
{
    if (psenv::plan::psf_available() && (exclude < 0 || far == nullptr)) {
        copy_detail(csplan_strerror(CSPLAN_EINVAL), detail, detail_size);
        return CSPLAN_EINVAL;
    }
    return psf_figures(grid, mask, mask_size, exclude, figures, far, magnitude, magnitude_size,
                       detail, detail_size);
}
