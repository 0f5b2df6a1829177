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

// Largest grid the generators take (they hold per-point keys).
constexpr std::int64_t kMostGeneratorPoints = CSPLAN_MOST_GENERATOR_POINTS;

enum class GapWeight { Sine, None };

// Poisson-gap sampling.  The grid points are walked in order of their
// normalised distance from the origin (in one dimension: increment order);
// after each sampled point a gap is drawn from a Poisson distribution whose
// mean follows the weighting (sine: small near the origin, largest at the far
// end).  The mean's scale is adjusted pass by pass until a pass gives exactly
// `points`; after a bounded number of passes the closest pass is completed
// or thinned deterministically.  Requires 1 <= points <= grid.points().
std::vector<std::int64_t> poisson_gap(const Grid &grid, std::int64_t points, GapWeight weight,
                                      std::int32_t seed);

// Random sampling without replacement in which a point's chance is weighted
// by exp(-sum_k c_k / decay_k) (decay per dimension, in increments).
// Requires 1 <= points <= grid.points() and every decay > 0.
std::vector<std::int64_t> exponential(const Grid &grid, std::int64_t points,
                                      const std::vector<double> &decay, std::int32_t seed);

// The order in which poisson_gap walks the grid (exposed for tests).
std::vector<std::int64_t> walk_order(const Grid &grid);

}  // namespace psenv::plan

#endif
