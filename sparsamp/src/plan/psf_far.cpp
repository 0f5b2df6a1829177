// The far sidelobe: the largest sidelobe outside the main lobe.  A weighted
// schedule broadens the peak, so on longer grids its max sidelobe is the
// peak's own shoulder (k = +-1) and ranks it below plain random sampling,
// which is no cleaner away from the centre; outside the main lobe the
// figure measures the artefacts a spectroscopist sees.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "psf.h"

namespace psenv::plan {
namespace {

// Frequencies of a dimension of n increments inside the main lobe.
std::int64_t inside_count(std::int64_t n, int exclude)
{
    return std::min<std::int64_t>(n, 2 * static_cast<std::int64_t>(exclude) + 1);
}

}  // namespace

namespace {

// The largest power of z[from .. to) (complex values), in four independent
// running maxima so that the loop needs no branch.
double row_max(const double *z, std::int64_t from, std::int64_t to)
{
    double lanes[4] = {-1, -1, -1, -1};
    std::int64_t k = from;
    for (; k + 4 <= to; k += 4)
        for (int lane = 0; lane < 4; ++lane) {
            const double *c = z + 2 * (k + lane);
            lanes[lane] = std::max(lanes[lane], c[0] * c[0] + c[1] * c[1]);
        }
    for (; k < to; ++k)
        lanes[0] = std::max(lanes[0], z[2 * k] * z[2 * k] + z[2 * k + 1] * z[2 * k + 1]);
    return std::max(std::max(lanes[0], lanes[1]), std::max(lanes[2], lanes[3]));
}

}  // namespace

SpectrumScan scan_spectrum(const Grid &grid, const double *spectrum, int exclude)
{
    const int rank = grid.dimensions();
    const std::int64_t n0 = grid.ni[0];
    const std::int64_t half = n0 / 2 + 1;
    const std::int64_t outer = grid.points() / n0;
    SpectrumScan scan;
    // Row by row of the half spectrum (|F(-k)| = |F(k)|, and -k lies inside
    // the main lobe exactly when k does): a row whose other frequencies all
    // lie within the lobe is far only beyond k_0 = exclude.
    std::vector<std::int64_t> other(static_cast<std::size_t>(rank), 0);
    std::int64_t far_row = -1;
    for (std::int64_t o = 0; o < outer; ++o) {
        const double *row = spectrum + 2 * o * half;
        const double all = row_max(row, o == 0 ? 1 : 0, half);
        scan.best = std::max(scan.best, all);
        if (exclude >= 0) {
            bool row_inside = true;
            for (int k = 1; k < rank && row_inside; ++k)
                row_inside = std::llabs(centred(other[static_cast<std::size_t>(k)],
                                                grid.ni[static_cast<std::size_t>(k)])) <= exclude;
            const double far =
                row_inside ? row_max(row, std::min<std::int64_t>(exclude + std::int64_t{1}, half), half)
                           : all;
            if (far > scan.far_best) {
                scan.far_best = far;
                far_row = o;
            }
            for (int k = 1; k < rank; ++k) {
                auto &c = other[static_cast<std::size_t>(k)];
                if (++c < grid.ni[static_cast<std::size_t>(k)])
                    break;
                c = 0;
            }
        }
    }
    if (far_row >= 0) {
        // The first frequency of that row, past the lobe, with the power.
        const double *row = spectrum + 2 * far_row * half;
        std::int64_t rest = far_row;
        bool row_inside = true;
        for (int k = 1; k < rank; ++k) {
            const int n = grid.ni[static_cast<std::size_t>(k)];
            row_inside = row_inside && std::llabs(centred(rest % n, n)) <= exclude;
            rest /= n;
        }
        std::int64_t k0 = row_inside ? exclude + std::int64_t{1} : 0;
        while (k0 < half && row[2 * k0] * row[2 * k0] + row[2 * k0 + 1] * row[2 * k0 + 1] != scan.far_best)
            ++k0;
        scan.far_index = far_row * half + k0;
    }
    return scan;
}

void far_sidelobe(const Grid &grid, const SpectrumScan &scan, int exclude, PsfFigures &figures)
{
    const int rank = grid.dimensions();
    const std::int64_t half = grid.ni[0] / 2 + 1;
    std::int64_t inside = 1;
    for (const int n : grid.ni)
        inside *= inside_count(n, exclude);
    figures.exclude = exclude;
    figures.outside = grid.points() - inside;

    figures.shoulder = !figures.at.empty();
    for (int k = 0; k < rank && figures.shoulder; ++k)
        figures.shoulder = std::llabs(centred(figures.at[static_cast<std::size_t>(k)],
                                              grid.ni[static_cast<std::size_t>(k)])) <= exclude;

    figures.far_at.assign(static_cast<std::size_t>(rank), 0);
    if (scan.far_index < 0) {
        figures.far_sidelobe = 0;
        return;
    }
    figures.far_sidelobe = std::sqrt(scan.far_best) / static_cast<double>(figures.points);
    figures.far_at[0] = static_cast<int>(scan.far_index % half);
    std::int64_t rest = scan.far_index / half;
    for (int k = 1; k < rank; ++k) {
        figures.far_at[static_cast<std::size_t>(k)] =
            static_cast<int>(rest % grid.ni[static_cast<std::size_t>(k)]);
        rest /= grid.ni[static_cast<std::size_t>(k)];
    }
}

}  // namespace psenv::plan
