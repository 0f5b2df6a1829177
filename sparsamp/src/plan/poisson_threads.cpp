// The multidimensional Poisson-gap scheme: threads along one dimension at a
// time, started along the grid's diagonal.
//
// A line along dimension d starts at the level max over the other
// dimensions j of c_j / (n_j - 1), the diagonal's position along it being
// that level times (n_d - 1), rounded down.  Past that position every point
// of the line lies nearer to the far end along d than along any other
// dimension, so no thread started earlier has reached it: a thread only ever
// adds points, and "rewriting its line from the start" needs no clearing.
#include "poisson_threads.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "plan_random.h"

namespace psenv::plan {
namespace threads {
namespace {

constexpr double kHalfPi = 1.57079632679489661923;

// A level as the fraction num / den (den >= 1), compared exactly.
struct Level {
    std::int64_t num = 0;
    std::int64_t den = 1;
    bool operator<(const Level &other) const { return num * other.den < other.num * den; }
    bool operator==(const Level &other) const { return num * other.den == other.num * den; }
};

struct Start {
    Level level;
    int dimension;
    Thread thread;
};

}  // namespace

std::vector<Thread> threads_of(const Grid &grid)
{
    const int dims = grid.dimensions();
    std::vector<std::int64_t> strides(static_cast<std::size_t>(dims), 1);
    for (int k = 1; k < dims; ++k)
        strides[static_cast<std::size_t>(k)] =
            strides[static_cast<std::size_t>(k - 1)] * grid.ni[static_cast<std::size_t>(k - 1)];
    const std::int64_t total = grid.points();
    std::vector<Start> starts;
    std::vector<int> c(static_cast<std::size_t>(dims));
    for (int d = 0; d < dims; ++d) {
        const int n_d = grid.ni[static_cast<std::size_t>(d)];
        if (n_d < 2)
            continue;
        const std::int64_t stride = strides[static_cast<std::size_t>(d)];
        const std::int64_t block = stride * n_d;
        for (std::int64_t outer = 0; outer < total; outer += block)
            for (std::int64_t inner = 0; inner < stride; ++inner) {
                Start start{{}, d, {}};
                start.thread.base = outer + inner;
                start.thread.stride = stride;
                start.thread.length = n_d;
                std::int64_t rest = start.thread.base;
                for (int j = 0; j < dims; ++j) {
                    const int n = grid.ni[static_cast<std::size_t>(j)];
                    const auto cj = static_cast<std::int64_t>(rest % n);
                    rest /= n;
                    start.thread.sum += cj;
                    const Level level{cj, n > 1 ? n - 1 : 1};
                    if (j != d && start.level < level)
                        start.level = level;
                }
                start.thread.diagonal =
                    static_cast<int>(start.level.num * (n_d - 1) / start.level.den);
                starts.push_back(start);
            }
    }
    std::stable_sort(starts.begin(), starts.end(), [](const Start &a, const Start &b) {
        if (!(a.level == b.level))
            return a.level < b.level;
        return a.dimension < b.dimension;
    });
    std::vector<Thread> result;
    result.reserve(starts.size());
    for (const Start &start : starts)
        result.push_back(start.thread);
    return result;
}

Weighting::Weighting(const Grid &grid, GapWeight weight) : weight_(weight)
{
    std::int64_t span = 0;
    for (const int n : grid.ni)
        span += n - 1;
    span_ = static_cast<double>(std::max<std::int64_t>(span, 1));
    // A table while it stays small beside the grid's own mask.
    if (weight != GapWeight::None && span < (std::int64_t{1} << 16)) {
        table_.resize(static_cast<std::size_t>(span) + 1);
        for (std::int64_t s = 0; s <= span; ++s)
            table_[static_cast<std::size_t>(s)] = direct(s);
    }
}

double Weighting::direct(std::int64_t sum) const
{
    if (weight_ == GapWeight::None)
        return 1.0;
    const double portion = weight_ == GapWeight::Half ? 2 * kHalfPi : kHalfPi;
    return std::sin(portion * static_cast<double>(sum) / span_);
}

}  // namespace threads

namespace {

using threads::Pass;
using threads::Thread;
using threads::Weighting;

constexpr double kHalfPi = 1.57079632679489661923;
constexpr int kMostPasses = 200;
// A mean gap beyond every line's length ends the walk as surely as any
// longer one; capping it keeps the draws finite however the scale runs.
constexpr double kMostMean = 1e9;

// The gap distributions of one pass, one per distance sum when the weights
// are tabulated: most of a draw's cost is otherwise their preparation.
class Gaps {
public:
    Gaps(const Weighting &weighting, double scale) : weighting_(weighting), scale_(scale)
    {
        if (weighting.tabulated()) {
            prepared_.reserve(weighting.sums());
            for (std::size_t s = 0; s < weighting.sums(); ++s)
                prepared_.emplace_back(mean(static_cast<std::int64_t>(s)));
        }
    }
    std::int64_t draw(std::int64_t sum, PlanRandom &random) const
    {
        if (!prepared_.empty())
            return random.poisson(prepared_[static_cast<std::size_t>(sum)]);
        return random.poisson(PreparedPoisson(mean(sum)));
    }

private:
    double mean(std::int64_t sum) const { return std::min(kMostMean, scale_ * weighting_.at(sum)); }
    const Weighting &weighting_;
    double scale_;
    std::vector<PreparedPoisson> prepared_;
};

// One bit per grid point: the mask of a pass stays in the nearer caches
// while threads cross it along every dimension.
class Bits {
public:
    explicit Bits(std::int64_t size) : words_(static_cast<std::size_t>((size + 63) / 64), 0) {}
    bool operator[](std::int64_t i) const { return (words_[static_cast<std::size_t>(i >> 6)] >> (i & 63)) & 1; }
    void set(std::int64_t i) { words_[static_cast<std::size_t>(i >> 6)] |= std::uint64_t{1} << (i & 63); }
    void assign(const Bits &other) { std::memcpy(words_.data(), other.words_.data(), words_.size() * 8); }

private:
    std::vector<std::uint64_t> words_;
};

void one_pass(const std::vector<Thread> &threads, const Weighting &weighting, double scale,
              const Bits &forced_mask, std::int64_t forced_count, PlanRandom &random,
              Bits &sampled, Pass &pass)
{
    const Gaps gaps(weighting, scale);
    sampled.assign(forced_mask);
    pass.taken.clear();
    pass.segments.clear();
    pass.count = forced_count;
    for (std::size_t t = 0; t < threads.size(); ++t) {
        const Thread &thread = threads[t];
        // The last sampled point at or below the diagonal's position.
        std::int64_t position = thread.diagonal;
        while (position >= 0 && !sampled[thread.base + position * thread.stride])
            --position;
        Pass::Segment segment{static_cast<std::int32_t>(t), static_cast<std::int32_t>(position),
                              static_cast<std::int64_t>(pass.taken.size()), 0};
        if (position < 0) {
            // Nothing sampled yet: the walk begins at the line's first point.
            position = 0;
            sampled.set(thread.base);
            pass.taken.push_back(thread.base);
            ++pass.count;
        }
        for (;;) {
            position += 1 + gaps.draw(thread.sum + position, random);
            if (position >= thread.length)
                break;
            const std::int64_t index = thread.base + position * thread.stride;
            if (!sampled[index]) {
                sampled.set(index);
                pass.taken.push_back(index);
                ++pass.count;
            }
        }
        segment.end = static_cast<std::int64_t>(pass.taken.size());
        pass.segments.push_back(segment);
    }
}

std::vector<std::int64_t> sampled_points(const Pass &pass, const std::vector<std::int64_t> &forced)
{
    std::vector<std::int64_t> points = pass.taken;
    points.insert(points.end(), forced.begin(), forced.end());
    std::sort(points.begin(), points.end());
    return points;
}

}  // namespace

GapOutcome poisson_gap_threads(const Grid &grid, std::int64_t points, const GapOptions &options,
                               std::int32_t seed)
{
    const std::int64_t total = grid.points();
    GapOutcome outcome;
    std::vector<std::int64_t> forced = options.forced;
    if (forced.empty() || forced.front() != 0)
        forced.insert(forced.begin(), 0);
    if (points >= total || points <= static_cast<std::int64_t>(forced.size())) {
        // Everything, or nothing beyond what is forced.
        if (points >= total) {
            outcome.indices.resize(static_cast<std::size_t>(total));
            for (std::int64_t m = 0; m < total; ++m)
                outcome.indices[static_cast<std::size_t>(m)] = m;
        } else {
            outcome.indices = forced;
        }
        return outcome;
    }
    const std::vector<Thread> threads = threads::threads_of(grid);
    const Weighting weighting(grid, options.weight);
    Bits forced_mask(total);
    for (const std::int64_t m : forced)
        forced_mask.set(m);
    const auto forced_count = static_cast<std::int64_t>(forced.size());

    // The scale: a first guess from the mean gap, then corrected by the
    // count a pass gave, as if the count were total / (1 + scale * c).
    const double wanted_gap = static_cast<double>(total) / static_cast<double>(points) - 1.0;
    double scale = options.weight == GapWeight::None ? wanted_gap : wanted_gap * kHalfPi;
    PlanRandom random(seed);
    Bits mask(total);
    Pass pass;
    Pass closest;
    std::int64_t closest_miss = -1;
    double closest_scale = scale;
    for (int round = 0; round < kMostPasses; ++round) {
        one_pass(threads, weighting, scale, forced_mask, forced_count, random, mask, pass);
        ++outcome.passes;
        if (pass.count == points) {
            std::vector<std::int64_t> made = sampled_points(pass, forced);
            if (!options.periodic_guard || !periodic(grid, made)) {
                outcome.indices = std::move(made);
                outcome.scale = scale;
                return outcome;
            }
            ++outcome.periodic_passes;
        }
        const std::int64_t miss =
            pass.count > points ? pass.count - points : points - pass.count;
        if (closest_miss < 0 || miss < closest_miss) {
            closest_miss = miss;
            closest = pass;
            closest_scale = scale;
        }
        if (pass.count == points)
            continue;
        const double got_gap =
            static_cast<double>(total) / static_cast<double>(pass.count) - 1.0;
        const double factor = got_gap > 0 ? wanted_gap / got_gap : 2.0;
        scale = std::clamp(scale * std::clamp(factor, 0.5, 2.0), 1e-9, kMostMean);
    }
    outcome.completed = true;
    outcome.scale = closest_scale;
    outcome.indices = threads::complete(grid, threads, weighting, closest_scale, closest, forced,
                                        points);
    if (options.periodic_guard && periodic(grid, outcome.indices))
        break_periodicity(grid, outcome.indices, forced);
    return outcome;
}

}  // namespace psenv::plan
