// The random source of the planner's schedule generators.
//
// The engine is std::mt19937_64, whose output for a given seed the C++
// standard fixes.  The distributions are written here rather than taken from
// the standard library, whose distribution algorithms differ between library
// versions: a seed has to give the same schedule bytes wherever it is run.
#ifndef PSENV_PLAN_RANDOM_H
#define PSENV_PLAN_RANDOM_H

#include <cstdint>
#include <random>

namespace psenv::plan {

class PlanRandom {
public:
    // The 32-bit seed is taken as its unsigned pattern, like srandom takes it.
    explicit PlanRandom(std::int32_t seed) : engine_(static_cast<std::uint32_t>(seed)) {}

    // Uniform in the open interval (0, 1), 53 random bits.
    double uniform();
    // Exponentially distributed with mean 1.
    double exponential();
    // Poisson distributed with the given mean (0 for a mean <= 0).
    long long poisson(double mean);

private:
    long long poisson_small(double mean);
    long long poisson_large(double mean);
    std::mt19937_64 engine_;
};

}  // namespace psenv::plan

#endif
