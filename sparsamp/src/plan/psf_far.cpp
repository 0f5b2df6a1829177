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

void far_sidelobe(const Grid &grid, const double *spectrum, int exclude, PsfFigures &figures)
{
    const int rank = grid.dimensions();
    const std::int64_t n0 = grid.ni[0];
    const std::int64_t half = n0 / 2 + 1;
    const std::int64_t outer = grid.points() / n0;
    std::int64_t inside = 1;
    for (const int n : grid.ni)
        inside *= inside_count(n, exclude);
    figures.exclude = exclude;
    figures.outside = grid.points() - inside;

    figures.shoulder = !figures.at.empty();
    for (int k = 0; k < rank && figures.shoulder; ++k)
        figures.shoulder = std::llabs(centred(figures.at[static_cast<std::size_t>(k)],
                                              grid.ni[static_cast<std::size_t>(k)])) <= exclude;

    // Row by row of the half spectrum (|F(-k)| = |F(k)|, and -k lies inside
    // the main lobe exactly when k does): a row whose other frequencies all
    // lie within the lobe is far only beyond k_0 = exclude.
    double best = -1;
    std::int64_t best_index = -1;
    std::vector<std::int64_t> other(static_cast<std::size_t>(rank), 0);
    for (std::int64_t o = 0; o < outer; ++o) {
        bool row_inside = true;
        for (int k = 1; k < rank; ++k)
            row_inside = row_inside &&
                         std::llabs(centred(other[static_cast<std::size_t>(k)],
                                            grid.ni[static_cast<std::size_t>(k)])) <= exclude;
        const std::int64_t from = row_inside ? static_cast<std::int64_t>(exclude) + 1 : 0;
        for (std::int64_t k0 = from; k0 < half; ++k0) {
            const double *z = spectrum + 2 * (o * half + k0);
            const double power = z[0] * z[0] + z[1] * z[1];
            if (power > best) {
                best = power;
                best_index = o * half + k0;
            }
        }
        for (int k = 1; k < rank; ++k) {
            auto &c = other[static_cast<std::size_t>(k)];
            if (++c < grid.ni[static_cast<std::size_t>(k)])
                break;
            c = 0;
        }
    }
    figures.far_at.assign(static_cast<std::size_t>(rank), 0);
    if (best_index < 0) {
        figures.far_sidelobe = 0;
        return;
    }
    figures.far_sidelobe = std::sqrt(best) / static_cast<double>(figures.points);
    figures.far_at[0] = static_cast<int>(best_index % half);
    std::int64_t rest = best_index / half;
    for (int k = 1; k < rank; ++k) {
        figures.far_at[static_cast<std::size_t>(k)] =
            static_cast<int>(rest % grid.ni[static_cast<std::size_t>(k)]);
        rest /= grid.ni[static_cast<std::size_t>(k)];
    }
}

}  // namespace psenv::plan
