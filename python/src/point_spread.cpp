// psenv.sched: point-spread functions and pictures of schedules, through
// the planner and the picture library that `psenv sched psf|plot` use.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <pybind11/stl.h>

#include "arrays.h"
#include "errors.h"
#include "module_lock.h"
#include "module_parts.h"
#include "sparsamp_pictures.h"
#include "sparsamp_plan.h"

namespace py = pybind11;

namespace psenv::python {
namespace {

csplan_grid psf_grid(const std::vector<int> &ni, int columns)
{
    if (ni.empty() || ni.size() > CSPLAN_MAX_DIMS)
        throw py::value_error("ni must give 1 to " + std::to_string(CSPLAN_MAX_DIMS) + " dimensions");
    csplan_grid grid{};
    grid.dimensions = static_cast<int>(ni.size());
    for (std::size_t k = 0; k < ni.size(); ++k) {
        if (ni[k] < 1)
            throw py::value_error("ni must be at least 1 in every dimension");
        grid.ni[k] = ni[k];
    }
    if (columns != grid.dimensions)
        throw py::value_error("the schedule has " + std::to_string(columns) + " column" +
                              (columns == 1 ? "" : "s") + " but the grid " +
                              std::to_string(grid.dimensions) + " dimension" +
                              (grid.dimensions == 1 ? "" : "s"));
    const std::int64_t points = csplan_grid_points(&grid);
    if (points > CSPLAN_MOST_PSF_POINTS)
        throw py::value_error("the grid has " +
                              (points == INT64_MAX ? std::string("more than 2^63") : std::to_string(points)) +
                              " points; the transform takes " +
                              std::to_string(CSPLAN_MOST_PSF_POINTS) + " at most");
    return grid;
}

// The mask and the magnitude are kept for the next call, as a C caller
// keeps its buffers and the planner its transform plan: a grid's first
// transform pays for touching their pages, the next ones do not.
struct Buffers {
    std::vector<unsigned char> mask;
    std::vector<float> magnitude;
};

Buffers &buffers()
{
    static Buffers kept;
    return kept;
}

// Masks and transforms the rows as `psenv sched psf` does (the far
// sidelobe outside |k| <= exclude too); the magnitude (in buffers()) only
// when asked for.  Called inside the lock.
struct Transformed {
    csplan_psf_figures figures{};
    csplan_far_figures far{};
};

Transformed transform(const csplan_grid &grid, const RowsArray &rows, int exclude, bool magnitude)
{
    if (!csplan_psf_available())
        throw std::runtime_error(csplan_strerror(CSPLAN_NOT_AVAILABLE));
    const std::int64_t points = csplan_grid_points(&grid);
    Buffers &kept = buffers();
    kept.mask.resize(static_cast<std::size_t>(points));
    if (magnitude)
        kept.magnitude.resize(static_cast<std::size_t>(points));
    char problem[256] = "";
    Transformed out;
    int code = csplan_mask(&grid, rows.data(), static_cast<std::int64_t>(rows.shape(0)),
                           static_cast<int>(rows.shape(1)), kept.mask.data(), points, problem,
                           sizeof problem);
    if (code == CSPLAN_OK)
        code = csplan_psf_far(&grid, kept.mask.data(), points, exclude, &out.figures, &out.far,
                              magnitude ? kept.magnitude.data() : nullptr, magnitude ? points : 0,
                              problem, sizeof problem);
    if (code == CSPLAN_ENOMEM)
        throw std::bad_alloc();
    if (code != CSPLAN_OK)
        throw py::value_error(std::string("schedule: ") + problem);
    return out;
}

py::tuple per_dimension(const csplan_grid &grid, const int *values)
{
    py::list out;
    for (int k = 0; k < grid.dimensions; ++k)
        out.append(values[k]);
    return py::tuple(out);
}

// What `psenv sched psf` prints, by name.
py::dict figures_dict(const csplan_grid &grid, const Transformed &found)
{
    const csplan_psf_figures &figures = found.figures;
    py::dict out;
    out["points"] = figures.points;
    out["grid"] = figures.grid;
    out["max_sidelobe"] = figures.max_sidelobe;
    out["at"] = per_dimension(grid, figures.at);
    out["peak_to_sidelobe_db"] = csplan_peak_to_sidelobe_db(figures.max_sidelobe);
    out["far_sidelobe"] = found.far.far_sidelobe;
    out["far_at"] = per_dimension(grid, found.far.at);
    out["far_peak_to_sidelobe_db"] = csplan_peak_to_sidelobe_db(found.far.far_sidelobe);
    out["exclude"] = found.far.exclude;
    out["outside"] = found.far.outside;
    out["shoulder"] = found.far.shoulder != 0;
    py::list gaps;
    for (int k = 0; k < grid.dimensions; ++k)
        gaps.append(figures.largest_gap[k]);
    out["largest_gap"] = py::tuple(gaps);
    return out;
}

// |F(k)| / |F(0)| over the grid, Fortran order of shape ni (psf[k0, k1, ...]),
// with the figures.
std::tuple<py::array_t<double>, py::dict> psf(const RowsArray &rows, const std::vector<int> &ni,
                                              int exclude)
{
    const csplan_grid grid = psf_grid(ni, static_cast<int>(rows.shape(1)));
    const std::vector<py::ssize_t> shape(ni.begin(), ni.end());
    std::vector<py::ssize_t> strides(shape.size());
    py::ssize_t stride = sizeof(double);
    for (std::size_t k = 0; k < shape.size(); ++k) {
        strides[k] = stride;
        stride *= shape[k];
    }
    py::array_t<double> values(shape, strides);
    double *out = values.mutable_data();
    Transformed found;
    {
        ModuleLock lock;
        found = transform(grid, rows, exclude, true);
        const std::vector<float> &magnitude = buffers().magnitude;
        std::copy(magnitude.begin(), magnitude.end(), out);
    }
    return {values, figures_dict(grid, found)};
}

py::dict figures(const RowsArray &rows, const std::vector<int> &ni, int exclude)
{
    const csplan_grid grid = psf_grid(ni, static_cast<int>(rows.shape(1)));
    Transformed found;
    {
        ModuleLock lock;
        found = transform(grid, rows, exclude, false);
    }
    return figures_dict(grid, found);
}

// A picture of the pictures' C interface as a string.
std::string picture_text(int code, char *svg, const char *what)
{
    const std::unique_ptr<char, decltype(&csplan_free_text)> owned(svg, &csplan_free_text);
    if (code == CSPLAN_ENOMEM)
        throw std::bad_alloc();
    if (code != CSPLAN_OK)
        throw py::value_error(std::string(what) + ": " + csplan_strerror(code));
    return std::string(svg);
}

// The picture `psenv sched plot` draws; `a`, `b` 0-based.
std::string schedule_svg(const RowsArray &rows, const std::optional<std::vector<int>> &ni,
                         const std::string &name, int a, int b)
{
    const int columns = static_cast<int>(rows.shape(1));
    if (ni && static_cast<int>(ni->size()) != columns)
        throw py::value_error("the schedule has " + std::to_string(columns) + " column" +
                              (columns == 1 ? "" : "s") + " but the grid " +
                              std::to_string(ni->size()) + " dimension" +
                              (ni->size() == 1 ? "" : "s"));
    if (columns > 1 && (a < 0 || b < 0 || a >= columns || b >= columns || a == b))
        throw py::value_error("dims needs two different dimensions 1.." + std::to_string(columns));
    if (rows.shape(0) < 1)
        throw py::value_error("schedule has no rows to draw");
    static_assert(sizeof(int) == sizeof(std::int32_t));
    char *svg = nullptr;
    int code = CSPLAN_OK;
    {
        // As the command draws it: entries beyond ni lengthen the axis.
        py::gil_scoped_release unlocked;
        code = csplan_schedule_svg(rows.data(), rows.shape(0), columns,
                                   ni ? ni->data() : nullptr, a, b, name.c_str(),
                                   CSPLAN_OUTSIDE_DRAWN, &svg);
    }
    return picture_text(code, svg, "schedule");
}

// The picture `psenv sched psf --svg` draws, with its --scale (empty: the
// automatic one) and spectral widths (0: unknown).
std::string psf_svg(const RowsArray &rows, const std::vector<int> &ni, const std::string &name,
                    int exclude, const std::string &scale_text, const std::vector<double> &widths)
{
    const csplan_grid grid = psf_grid(ni, static_cast<int>(rows.shape(1)));
    csplan_scale scale{};
    if (!scale_text.empty() && csplan_parse_scale(scale_text.c_str(), &scale) != CSPLAN_OK)
        throw py::value_error("scale must be 'fixed:X' with X above 0, or 'db:F' with F below 0, not '" +
                              scale_text + "'");
    if (!widths.empty() && widths.size() != ni.size())
        throw py::value_error("sw needs one spectral width per dimension");
    ModuleLock lock;
    const Transformed found = transform(grid, rows, exclude, true);
    const std::vector<float> &magnitude = buffers().magnitude;
    const csplan_psf_view view{name.c_str(), magnitude.data(),
                               static_cast<std::int64_t>(magnitude.size()), found.figures,
                               found.far};
    char *svg = nullptr;
    const int code = csplan_psf_svg(&grid, &view, 1, &scale, widths.empty() ? nullptr : widths.data(), &svg);
    return picture_text(code, svg, "psf");
}

}  // namespace

void add_point_spread(py::module_ &module)
{
    module.def("sched_psf", &psf, py::arg("rows"), py::arg("ni"), py::arg("exclude"));
    module.def("sched_figures", &figures, py::arg("rows"), py::arg("ni"), py::arg("exclude"));
    module.def("sched_schedule_svg", &schedule_svg, py::arg("rows"), py::arg("ni"),
               py::arg("name"), py::arg("a"), py::arg("b"));
    module.def("sched_psf_svg", &psf_svg, py::arg("rows"), py::arg("ni"), py::arg("name"),
               py::arg("exclude"), py::arg("scale"), py::arg("sw"));
    module.attr("sched_default_exclude") = CSPLAN_DEFAULT_EXCLUDE;
    module.def("sched_psf_available", [] { return csplan_psf_available() != 0; });
}

}  // namespace psenv::python
