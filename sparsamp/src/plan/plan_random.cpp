#include "plan_random.h"

#include <cmath>

namespace psenv::plan {

double PlanRandom::uniform()
{
    // Midpoints of 2^53 equal cells: never 0 and never 1.
    return (static_cast<double>(engine_() >> 11) + 0.5) * 0x1p-53;
}

double PlanRandom::exponential()
{
    return -std::log(uniform());
}

long long PlanRandom::poisson(double mean)
{
    if (!(mean > 0.0))
        return 0;
    return mean < 10.0 ? poisson_small(mean) : poisson_large(mean);
}

// Multiplying uniforms until the product falls below e^-mean: exact, and
// cheap while the mean is small.
long long PlanRandom::poisson_small(double mean)
{
    const double limit = std::exp(-mean);
    long long count = -1;
    double product = 1.0;
    do {
        ++count;
        product *= uniform();
    } while (product > limit);
    return count;
}

// Transformed rejection with squeeze (PTRS): a constant number of uniforms
// per draw whatever the mean, so long gaps cost no more than short ones.
long long PlanRandom::poisson_large(double mean)
{
    const double root = std::sqrt(mean);
    const double log_mean = std::log(mean);
    const double b = 0.931 + 2.53 * root;
    const double a = -0.059 + 0.02483 * b;
    const double inv_alpha = 1.1239 + 1.1328 / (b - 3.4);
    const double v_r = 0.9277 - 3.6224 / (b - 2.0);
    for (;;) {
        const double u = uniform() - 0.5;
        const double v = uniform();
        const double us = 0.5 - std::fabs(u);
        const double k = std::floor((2.0 * a / us + b) * u + mean + 0.43);
        if (us >= 0.07 && v <= v_r)
            return static_cast<long long>(k);
        if (k < 0.0 || (us < 0.013 && v > us))
            continue;
        if (std::log(v) + std::log(inv_alpha) - std::log(a / (us * us) + b) <=
            -mean + k * log_mean - std::lgamma(k + 1.0))
            return static_cast<long long>(k);
    }
}

namespace {
// Means below this are drawn by inversion: the cumulative probability up to
// the mode is summed term by term, which stays exact and cheap there.
constexpr double kInverseBelow = 30.0;
}  // namespace

PreparedPoisson::PreparedPoisson(double m) : mean(m > 0.0 ? m : 0.0)
{
    if (mean < kInverseBelow) {
        mode = static_cast<long long>(mean);
        double term = std::exp(-mean);
        up_to_mode = term;
        for (long long k = 1; k <= mode; ++k) {
            term *= mean / static_cast<double>(k);
            up_to_mode += term;
        }
        at_mode = term;
        return;
    }
    const double root = std::sqrt(mean);
    log_mean = std::log(mean);
    b = 0.931 + 2.53 * root;
    a = -0.059 + 0.02483 * b;
    inv_alpha = 1.1239 + 1.1328 / (b - 3.4);
    v_r = 0.9277 - 3.6224 / (b - 2.0);
    log_inv_alpha = std::log(inv_alpha);
}

long long PlanRandom::poisson(const PreparedPoisson &p)
{
    if (p.mean <= 0.0)
        return 0;
    if (p.mean < kInverseBelow) {
        // The smallest k whose cumulative probability reaches u, searched
        // from the mode, a few steps away on average.  Rounding may keep the
        // sum just below a u near 1: the vanishing terms end the search.
        const double u = uniform();
        long long k = p.mode;
        double term = p.at_mode;
        double sum = p.up_to_mode;
        if (u > sum) {
            while (u > sum && term > 0.0) {
                ++k;
                term *= p.mean / static_cast<double>(k);
                sum += term;
            }
        } else {
            // Down while the cumulative probability below k still reaches u.
            while (k > 0 && u <= sum - term) {
                sum -= term;
                term *= static_cast<double>(k) / p.mean;
                --k;
            }
        }
        return k;
    }
    for (;;) {
        const double u = uniform() - 0.5;
        const double v = uniform();
        const double us = 0.5 - std::fabs(u);
        const double k = std::floor((2.0 * p.a / us + p.b) * u + p.mean + 0.43);
        if (us >= 0.07 && v <= p.v_r)
            return static_cast<long long>(k);
        if (k < 0.0 || (us < 0.013 && v > us))
            continue;
        if (std::log(v) + p.log_inv_alpha - std::log(p.a / (us * us) + p.b) <=
            -p.mean + k * p.log_mean - std::lgamma(k + 1.0))
            return static_cast<long long>(k);
    }
}

}  // namespace psenv::plan
