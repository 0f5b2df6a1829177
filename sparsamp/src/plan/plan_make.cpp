#include "plan_make.h"

#include <algorithm>
#include <cmath>

#include "generators.h"
#include "plan_random.h"
#include "psf.h"

namespace psenv::plan {
namespace {

// Draws of the exponential method before the guard gives up redrawing.
constexpr int kMostDraws = 200;
// The stream of the seed that orders the rows.
constexpr std::uint32_t kOrderStream = 1;

std::string text(std::int64_t value)
{
    return std::to_string(value);
}

// Points of the head block, saturating beyond any count asked for.
std::int64_t head_points(const Grid &grid, int head)
{
    if (head < 2)
        return 1;
    std::int64_t count = 1;
    for (const int n : grid.ni) {
        count *= std::min(head, n);
        if (count > grid.points())
            return grid.points() + 1;
    }
    return count;
}

GapWeight weight_of(int sine_portion)
{
    switch (sine_portion) {
    case CSPLAN_SINE_HALF:
        return GapWeight::Half;
    case CSPLAN_SINE_NONE:
        return GapWeight::None;
    default:
        return GapWeight::Sine;
    }
}

struct Candidate {
    std::vector<std::int64_t> indices;  // sorted
    GapOutcome outcome;
};

Candidate make_one(const Grid &grid, const csplan_options &options, int walk,
                   const std::vector<std::int64_t> &forced, std::int32_t seed)
{
    Candidate made;
    const bool guard = options.allow_periodic == 0;
    if (options.method == CSPLAN_METHOD_EXPONENTIAL) {
        const std::vector<double> decay(options.decay, options.decay + grid.dimensions());
        PlanRandom random(seed);
        for (int draw = 0; draw < kMostDraws; ++draw) {
            made.indices = exponential_forced(grid, options.points, decay, forced, random);
            if (!guard || !periodic(grid, made.indices))
                return made;
            ++made.outcome.periodic_passes;
        }
        break_periodicity(grid, made.indices, forced);
        return made;
    }
    GapOptions gap;
    gap.weight = weight_of(options.sine_portion);
    gap.forced = forced;
    gap.periodic_guard = guard;
    made.outcome = walk == CSPLAN_WALK_THREADS
                       ? poisson_gap_threads(grid, options.points, gap, seed)
                       : poisson_gap_walk(grid, options.points, gap, walk == CSPLAN_WALK_RADIAL, seed);
    made.indices = std::move(made.outcome.indices);
    return made;
}

}  // namespace

int check_options(const Grid &grid, const csplan_options &options, int &walk, std::string &detail)
{
    const std::int64_t total = grid.points();
    const auto refuse = [&detail](std::string why) {
        detail = std::move(why);
        return CSPLAN_EINVAL;
    };
    if (options.method != CSPLAN_METHOD_POISSON_GAP && options.method != CSPLAN_METHOD_EXPONENTIAL)
        return refuse("method " + text(options.method) + " is unknown");
    if (options.points < 1 || options.points > total)
        return refuse("points " + text(options.points) + " lies outside 1 .. " + text(total) +
                      " (the grid's points)");
    if (options.sine_portion < CSPLAN_SINE_QUARTER || options.sine_portion > CSPLAN_SINE_NONE)
        return refuse("sine portion " + text(options.sine_portion) + " is unknown");
    if (options.order != CSPLAN_ORDER_GRID && options.order != CSPLAN_ORDER_SHUFFLED)
        return refuse("order " + text(options.order) + " is unknown");
    if (options.head < 0)
        return refuse("head " + text(options.head) + " is negative");
    if (options.last != 0 && options.last != 1)
        return refuse("last must be 0 or 1");
    if (options.best_of < 1 || options.best_of > CSPLAN_MOST_BEST_OF)
        return refuse("best of " + text(options.best_of) + " lies outside 1 .. " +
                      text(CSPLAN_MOST_BEST_OF));
    if (options.exclude < 0)
        return refuse("the main lobe's half-width " + text(options.exclude) + " is negative");
    if (options.allow_periodic != 0 && options.allow_periodic != 1)
        return refuse("allow periodic must be 0 or 1");
    if (options.method == CSPLAN_METHOD_EXPONENTIAL) {
        for (int k = 0; k < grid.dimensions(); ++k)
            if (!(options.decay[k] > 0) || !std::isfinite(options.decay[k]))
                return refuse("the decay of dimension " + text(k + 1) +
                              " must be a finite number above 0");
        walk = CSPLAN_WALK_DEFAULT;
    } else {
        const auto wide = std::count_if(grid.ni.begin(), grid.ni.end(), [](int n) { return n > 1; });
        walk = options.walk;
        if (walk == CSPLAN_WALK_DEFAULT)
            walk = wide >= 2 ? CSPLAN_WALK_THREADS : CSPLAN_WALK_LINE;
        if (walk < CSPLAN_WALK_THREADS || walk > CSPLAN_WALK_LINE)
            return refuse("walk " + text(options.walk) + " is unknown");
        if (walk == CSPLAN_WALK_LINE && wide >= 2)
            return refuse("the line walk takes a grid with at most one dimension of more than "
                          "one increment; this one has " + text(wide));
    }
    const std::int64_t head = head_points(grid, options.head);
    const std::int64_t last = options.last != 0 && total > 1 && head < total ? 1 : 0;
    if (head + last > options.points)
        return refuse("the head (" + text(options.head) + ")" +
                      (options.last != 0 ? " and the last point" : "") + " force " +
                      (head > total ? "more than " + text(total) : text(head + last)) +
                      " points, more than the " + text(options.points) + " asked for");
    return CSPLAN_OK;
}

std::vector<std::int64_t> forced_points(const Grid &grid, const csplan_options &options)
{
    std::vector<std::int64_t> forced{0};
    if (options.head >= 2) {
        // Every point whose increments all lie below the head, odometer-wise.
        std::vector<int> c(grid.ni.size(), 0);
        for (;;) {
            std::size_t k = 0;
            while (k < c.size() && ++c[k] >= std::min(options.head, grid.ni[k]))
                c[k++] = 0;
            if (k == c.size())
                break;
            std::int64_t index = 0;
            for (std::size_t j = c.size(); j-- > 0;)
                index = index * grid.ni[j] + c[j];
            forced.push_back(index);
        }
    }
    if (options.last != 0 && grid.points() > 1)
        forced.push_back(grid.points() - 1);
    std::sort(forced.begin(), forced.end());
    forced.erase(std::unique(forced.begin(), forced.end()), forced.end());
    return forced;
}

void shuffle_after_origin(std::vector<std::int64_t> &indices, std::int32_t seed)
{
    PlanRandom random(seed, kOrderStream);
    // Fisher-Yates over the points after the origin, with the planner's own
    // uniform draws so that the order is the same everywhere.
    for (std::size_t i = indices.size(); i > 2; --i) {
        const auto j = 1 + static_cast<std::size_t>(random.uniform() * static_cast<double>(i - 1));
        std::swap(indices[i - 1], indices[std::min(j, i - 1)]);
    }
}

int make_schedule(const Grid &grid, const csplan_options &options, int walk,
                  std::vector<std::int64_t> &indices, csplan_made &made, std::string &reason)
{
    const std::vector<std::int64_t> forced = forced_points(grid, options);
    made = csplan_made{};
    made.walk = walk;
    made.far_sidelobe = -1;
    made.forced = static_cast<std::int64_t>(forced.size());
    std::vector<unsigned char> mask;
    double best = 0;
    for (int i = 0; i < options.best_of; ++i) {
        const auto seed = static_cast<std::int32_t>(static_cast<std::uint32_t>(options.seed) +
                                                    static_cast<std::uint32_t>(i));
        Candidate candidate = make_one(grid, options, walk, forced, seed);
        made.periodic_rejected += candidate.outcome.periodic_passes;
        ++made.candidates;
        double far = -1;
        if (options.best_of > 1) {
            mask.assign(static_cast<std::size_t>(grid.points()), 0);
            for (const std::int64_t m : candidate.indices)
                mask[static_cast<std::size_t>(m)] = 1;
            PsfFigures figures;
            const int code = transform(grid, mask, figures, nullptr, reason, options.exclude);
            if (code != CSPLAN_OK)
                return code;
            far = figures.far_sidelobe;
        }
        if (i == 0 || far < best) {
            best = far;
            indices = std::move(candidate.indices);
            made.seed = seed;
            made.far_sidelobe = far;
            made.passes = candidate.outcome.passes;
            made.completed = candidate.outcome.completed ? 1 : 0;
        }
    }
    made.periodic = periodic(grid, indices) ? 1 : 0;
    if (options.order == CSPLAN_ORDER_SHUFFLED)
        shuffle_after_origin(indices, made.seed);
    return CSPLAN_OK;
}

}  // namespace psenv::plan
