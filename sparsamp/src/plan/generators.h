// Schedule generators beside the module's uniform one.  Each
// returns the linear indices of exactly `points` distinct grid points in
// increasing order; the origin (index 0) is always among them.
#ifndef PSENV_PLAN_GENERATORS_H
#define PSENV_PLAN_GENERATORS_H

#include <cstdint>
#include <vector>

#include "plan_grid.h"
#include "sparsamp_plan.h"

namespace psenv::plan {

class PlanRandom;

// Largest grid the generators take (they hold per-point keys).
constexpr std::int64_t kMostGeneratorPoints = CSPLAN_MOST_GENERATOR_POINTS;

// The shape of the mean gap along a walk: Sine is a quarter sine (short gaps
// at the origin, longest at the far end), Half a half sine (short at both
// ends), None one mean everywhere.
enum class GapWeight { Sine, None, Half };

// What a Poisson-gap schedule is made with beyond its size and seed.
struct GapOptions {
    GapWeight weight = GapWeight::Sine;
    // Linear indices sampled in any case (sorted, distinct, inside the grid);
    // the origin is sampled anyway.
    std::vector<std::int64_t> forced;
    // A pass whose points share a stride > 1 in some dimension is no hit.
    bool periodic_guard = false;
};

// A Poisson-gap schedule and how it was reached.
struct GapOutcome {
    std::vector<std::int64_t> indices;  // sorted linear indices
    double scale = 0;                   // the mean gap's scale of the kept pass
    int passes = 0;                     // passes made
    int periodic_passes = 0;            // passes of the right size the guard turned down
    bool completed = false;             // no pass hit: the closest was completed or thinned
};

// Poisson-gap sampling.  The grid points are walked in order of their
// normalised distance from the origin (in one dimension: increment order);
// after each sampled point a gap is drawn from a Poisson distribution whose
// mean follows the weighting (sine: small near the origin, largest at the far
// end).  The mean's scale is adjusted pass by pass until a pass gives exactly
// `points`; after a bounded number of passes the closest pass is completed
// or thinned deterministically.  Requires 1 <= points <= grid.points().
std::vector<std::int64_t> poisson_gap(const Grid &grid, std::int64_t points, GapWeight weight,
                                      std::int32_t seed);

// The same walk with forced points and the periodicity guard: `radial`
// walks in the order of walk_order(), else in increasing linear index.
// With no forced point and no guard it gives poisson_gap()'s schedule.
GapOutcome poisson_gap_walk(const Grid &grid, std::int64_t points, const GapOptions &options,
                            bool radial, std::int32_t seed);

// The multidimensional scheme of threads: the grid is covered by lines along
// one dimension at a time, started in order of their position along the
// grid's diagonal; each thread walks its line outwards from the last point
// sampled at or below that position, drawing Poisson gaps whose mean follows
// the weighting of the current point's distance sum c_1 + ... + c_D from the
// origin.  Exactly `points` as poisson_gap() guarantees.
GapOutcome poisson_gap_threads(const Grid &grid, std::int64_t points, const GapOptions &options,
                               std::int32_t seed);

// Random sampling without replacement in which a point's chance is weighted
// by exp(-sum_k c_k / decay_k) (decay per dimension, in increments).
// Requires 1 <= points <= grid.points() and every decay > 0.
std::vector<std::int64_t> exponential(const Grid &grid, std::int64_t points,
                                      const std::vector<double> &decay, std::int32_t seed);

// The same with `forced` (sorted, distinct, at most `points`) sampled in any
// case, drawing from `random`; with only the origin forced it is exponential().
std::vector<std::int64_t> exponential_forced(const Grid &grid, std::int64_t points,
                                             const std::vector<double> &decay,
                                             const std::vector<std::int64_t> &forced,
                                             PlanRandom &random);

// The order in which poisson_gap walks the grid (exposed for tests).
std::vector<std::int64_t> walk_order(const Grid &grid);

// Per dimension, the greatest common divisor of the increments of the
// points `indices` (0 when every point has increment 0 there).  A value
// above 1 puts every point on a sub-lattice: a periodic schedule.
std::vector<std::int64_t> common_strides(const Grid &grid, const std::vector<std::int64_t> &indices);
bool periodic(const Grid &grid, const std::vector<std::int64_t> &indices);

// Breaks every common stride > 1 of the sorted schedule `indices` without
// changing its size: the point one increment from the origin along such a
// dimension replaces the farthest point (normalised distance sum, then
// highest index) that is neither the origin, nor forced, nor placed here.
// Returns false when no point is free to move (the schedule stays periodic).
bool break_periodicity(const Grid &grid, std::vector<std::int64_t> &indices,
                       const std::vector<std::int64_t> &forced);

}  // namespace psenv::plan

#endif
