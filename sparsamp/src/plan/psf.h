// Point-spread function of a sampling mask: the discrete Fourier transform of
// the grid's 0/1 mask (exactly ni points per dimension, no padding) and the
// figures a schedule is judged by.
#ifndef PSENV_PLAN_PSF_H
#define PSENV_PLAN_PSF_H

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "plan_grid.h"
#include "schedule_format.h"
#include "sparsamp_plan.h"

namespace psenv::plan {

// Largest grid transformed (the transform holds about 20 bytes per point).
constexpr std::int64_t kMostPsfPoints = CSPLAN_MOST_PSF_POINTS;

struct PsfFigures {
    std::int64_t points = 0;  // sampled grid points (the mask's ones)
    std::int64_t grid = 0;    // grid points
    // max over k != 0 of |F(k)| / |F(0)|, and one frequency index where it
    // occurs (per dimension, 0..ni-1).
    double max_sidelobe = 0;
    std::vector<int> at;
    // Per dimension: the most consecutive unsampled increments on any grid
    // line along it (leading and trailing runs included).
    std::vector<std::int64_t> largest_gap;
    // Beyond the main lobe, every frequency with all |k_d| <= exclude (k_d
    // centred, -ni/2 .. ni/2): the largest |F(k)| / |F(0)| there, one
    // frequency index where it occurs, and how many frequencies lie there.
    // exclude < 0: not computed.
    int exclude = -1;
    double far_sidelobe = 0;
    std::vector<int> far_at;
    std::int64_t outside = 0;
    // The max sidelobe lies inside the main lobe: a shoulder of the peak.
    bool shoulder = false;
};

// The main lobe's half-width the figures use unless told otherwise.
constexpr int kDefaultExclude = CSPLAN_DEFAULT_EXCLUDE;

// Frequency index k (0 .. n-1) centred: -(n/2) .. (n-1)/2.
inline long long centred(long long k, long long n)
{
    return k <= (n - 1) / 2 ? k : k - n;
}

// The mask of `columns` on `grid` (one byte per point, dimension 0 fastest).
// Fails, saying why, when the column count differs from the grid's
// dimensions or an entry lies outside 0..ni-1.  Repeated rows mark one point.
bool sampling_mask(const Grid &grid, const Columns &columns, std::vector<unsigned char> &mask,
                   std::string &problem);

// Why a schedule of `columns` columns does not fit a grid of `dimensions`.
std::string columns_problem(std::size_t columns, int dimensions);

// The same for rows kept anywhere: marks `rows` in `mask` (the grid's points
// bytes, cleared here first).  CSPLAN_OK, or CSPLAN_ECOLUMNS or
// CSPLAN_EOUTSIDE with `problem` saying where.
int mark_rows(const Grid &grid, const sparsamp::ScheduleEntries &rows, unsigned char *mask,
              std::string &problem);

// Largest gap per dimension of a mask (see PsfFigures).
std::vector<std::int64_t> largest_gaps(const Grid &grid, std::span<const unsigned char> mask);

// Peak-to-sidelobe ratio in dB for a max sidelobe (infinite for 0).
double peak_to_sidelobe_db(double max_sidelobe);

// False when the library was built without the FFT library.
bool psf_available();

// Why point-spread functions are missing and how to get them, for a build
// without the FFT library.
const char *psf_unavailable_message();

// Transforms the mask (at least one point sampled) and fills the figures; with
// `magnitude` given, also every |F(k)| / |F(0)| in linear index order.
// Returns false, with the reason, when the transform cannot be made.
bool point_spread(const Grid &grid, std::span<const unsigned char> mask, PsfFigures &figures,
                  std::vector<float> *magnitude, std::string &reason,
                  int exclude = kDefaultExclude);

// The same into a caller's buffer (`magnitude` null, or holding the grid's
// points).  CSPLAN_OK, or the code of csplan_psf() with the reason.
// With `exclude` >= 0 the far sidelobe too.
int transform(const Grid &grid, std::span<const unsigned char> mask, PsfFigures &figures,
              float *magnitude, std::string &reason, int exclude);

// One pass over the half spectrum the transform leaves: `spectrum` holds
// (ni[0] / 2 + 1) complex values (re, im) for each frequency of the other
// dimensions, dimension 1 fastest.  The largest power |F|^2 over k != 0
// and, with `exclude` >= 0, over the frequencies outside the main lobe
// (far_index -1 when there are none).
struct SpectrumScan {
    double best = -1;
    double far_best = -1;
    std::int64_t far_index = -1;
};
SpectrumScan scan_spectrum(const Grid &grid, const double *spectrum, int exclude);

// Fills the far figures of `figures` (whose `points` and `at` are set) from
// a scan with `exclude` >= 0.
void far_sidelobe(const Grid &grid, const SpectrumScan &scan, int exclude, PsfFigures &figures);

}  // namespace psenv::plan

#endif
