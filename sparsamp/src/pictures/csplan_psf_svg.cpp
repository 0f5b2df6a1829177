// csplan_psf_svg: the picture of one or more point-spread functions.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "c_interface.h"
#include "picture_text.h"
#include "psf_picture.h"
#include "sparsamp_pictures.h"

namespace {

using psenv::plan::PsfScale;

bool finite_and_not_negative(double value)
{
    return std::isfinite(value) && value >= 0;
}

std::optional<PsfScale> scale_of(const csplan_scale *scale)
{
    PsfScale result;
    if (scale == nullptr || scale->kind == CSPLAN_SCALE_AUTOMATIC)
        return result;
    result.value = scale->value;
    if (scale->kind == CSPLAN_SCALE_FIXED && scale->value > 0 &&
        scale->value <= CSPLAN_MOST_FIXED_SCALE) {
        result.kind = PsfScale::Kind::Fixed;
        return result;
    }
    if (scale->kind == CSPLAN_SCALE_DECIBEL && scale->value < 0 &&
        scale->value >= CSPLAN_LOWEST_DECIBEL_SCALE) {
        result.kind = PsfScale::Kind::Decibel;
        return result;
    }
    return std::nullopt;
}

// A view the panels can draw: magnitudes of every grid point, figures
// that are numbers, positions inside the grid.
bool valid_view(const csplan_psf_view &view, const csplan_grid &grid, int64_t points)
{
    if (view.magnitude == nullptr || view.magnitude_size != points)
        return false;
    if (view.figures.grid != points || view.figures.points < 0 ||
        view.figures.points > view.figures.grid)
        return false;
    if (!finite_and_not_negative(view.figures.max_sidelobe) ||
        !finite_and_not_negative(view.far.far_sidelobe) || view.far.exclude < 0)
        return false;
    for (int k = 0; k < grid.dimensions; ++k)
        if (view.figures.at[k] < 0 || view.figures.at[k] >= grid.ni[k] || view.far.at[k] < 0 ||
            view.far.at[k] >= grid.ni[k])
            return false;
    return std::all_of(view.magnitude, view.magnitude + points,
                       [](float m) { return finite_and_not_negative(m); });
}

}  // namespace

extern "C" int csplan_psf_svg(const csplan_grid *grid, const csplan_psf_view *views, int count,
                              const csplan_scale *scale, const double *sw, char **svg)
{
    if (svg == nullptr)
        return CSPLAN_EINVAL;
    *svg = nullptr;
    return psenv::plan::guarded([&] {
        const auto checked = psenv::plan::grid_of(grid);
        const auto picture_scale = scale_of(scale);
        if (!checked || views == nullptr || count < 1 || !picture_scale)
            return CSPLAN_EINVAL;
        const int64_t points = checked->points();
        if (points > CSPLAN_MOST_PSF_POINTS)
            return CSPLAN_ETOOBIG;
        std::vector<double> widths(static_cast<std::size_t>(grid->dimensions), 0.0);
        if (sw != nullptr) {
            if (!std::all_of(sw, sw + grid->dimensions, finite_and_not_negative))
                return CSPLAN_EINVAL;
            widths.assign(sw, sw + grid->dimensions);
        }
        std::vector<psenv::plan::PsfView> drawn(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            const csplan_psf_view &view = views[i];
            if (!valid_view(view, *grid, points))
                return CSPLAN_EINVAL;
            psenv::plan::PsfView &v = drawn[static_cast<std::size_t>(i)];
            v.file = view.title != nullptr ? view.title : "";
            v.figures = view.figures;
            v.far = view.far;
            v.magnitude = {view.magnitude, static_cast<std::size_t>(points)};
        }
        return psenv::plan::give_text(
            psenv::plan::psf_picture(drawn, *grid, *picture_scale, widths), svg);
    });
}
