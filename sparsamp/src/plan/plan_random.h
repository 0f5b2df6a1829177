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

// A Poisson distribution prepared once for many draws of one mean: what a
// draw would otherwise compute again each time.
struct PreparedPoisson {
    explicit PreparedPoisson(double mean = 0);
    double mean;
    // Below a mean of 30 the inverse of the distribution is searched from
    // its mode: the mode, its probability and its cumulative probability.
    long long mode = 0;
    double at_mode = 0;
    double up_to_mode = 0;
    // Above: the constants of the transformed rejection.
    double b = 0, a = 0, inv_alpha = 0, v_r = 0, log_mean = 0, log_inv_alpha = 0;
};

class PlanRandom {
public:
    // The 32-bit seed is taken as its unsigned pattern, like srandom takes it.
    explicit PlanRandom(std::int32_t seed) : engine_(static_cast<std::uint32_t>(seed)) {}
    // Another stream of the same seed (stream 0 is the one above): draws
    // made for another purpose, such as the order of the rows, leave the
    // schedule's own draws alone.
    PlanRandom(std::int32_t seed, std::uint32_t stream)
        : engine_(static_cast<std::uint64_t>(stream) << 32 | static_cast<std::uint32_t>(seed))
    {
    }

    // Uniform in the open interval (0, 1), 53 random bits.
    double uniform();
    // Exponentially distributed with mean 1.
    double exponential();
    // Poisson distributed with the given mean (0 for a mean <= 0).
    long long poisson(double mean);
    // Poisson distributed with a prepared mean: one uniform below a mean of
    // 30 (the inverse of the distribution, searched from its mode), the
    // transformed rejection with its constants ready above.  Another
    // sequence of draws than poisson(double) gives, from the same
    // distribution.
    long long poisson(const PreparedPoisson &prepared);

private:
    long long poisson_small(double mean);
    long long poisson_large(double mean);
    std::mt19937_64 engine_;
};

}  // namespace psenv::plan

#endif
