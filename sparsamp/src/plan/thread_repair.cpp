// Completing or thinning the closest pass of the thread scheme, when no pass
// gave exactly the points asked for.  Each thread's walk is treated as the
// one-dimensional walk is: a missing point fills the middle of the gap that
// is longest for the gap expected there, a surplus point is the one whose
// neighbours lie closest for it.  Heaps keep the cost near-linear however
// far the closest pass missed.
#include <algorithm>
#include <queue>
#include <tuple>
#include <utility>

#include "poisson_threads.h"

namespace psenv::plan::threads {
namespace {

// A free stretch (after, before) of one thread's line, both exclusive.
struct Run {
    double score;
    std::int32_t segment;
    std::int64_t after;
    std::int64_t before;
    bool operator<(const Run &other) const
    {
        if (score != other.score)
            return score < other.score;
        // Equal scores: the earlier thread and position first, deterministically.
        return std::tie(other.segment, other.after) < std::tie(segment, after);
    }
};

class Completion {
public:
    Completion(const Grid &grid, const std::vector<Thread> &threads, const Weighting &weighting,
               double scale, const Pass &pass, const std::vector<std::int64_t> &forced)
        : threads_(threads), weighting_(weighting), scale_(scale), pass_(pass),
          sampled_(static_cast<std::size_t>(grid.points()), 0), count_(pass.count)
    {
        for (const std::int64_t m : forced)
            sampled_[static_cast<std::size_t>(m)] = 1;
        for (const std::int64_t m : pass.taken)
            sampled_[static_cast<std::size_t>(m)] = 1;
    }

    void fill_to(std::int64_t points);
    void thin_to(std::int64_t points);

    std::vector<std::int64_t> result() const
    {
        std::vector<std::int64_t> points;
        points.reserve(static_cast<std::size_t>(count_));
        for (std::size_t m = 0; m < sampled_.size(); ++m)
            if (sampled_[m] != 0)
                points.push_back(static_cast<std::int64_t>(m));
        return points;
    }

private:
    const Thread &thread_of(std::int32_t segment) const
    {
        return threads_[static_cast<std::size_t>(pass_.segments[static_cast<std::size_t>(segment)].thread)];
    }
    std::int64_t position_of(const Thread &thread, std::int64_t index) const
    {
        return (index - thread.base) / thread.stride;
    }
    double expected(const Thread &thread, std::int64_t position) const
    {
        return 1.0 + scale_ * weighting_.at(thread.sum + std::max<std::int64_t>(position, 0));
    }
    void push_run(std::priority_queue<Run> &runs, std::int32_t segment, std::int64_t after,
                  std::int64_t before) const
    {
        const std::int64_t free = before - after - 1;
        if (free >= 1)
            runs.push({static_cast<double>(free) / expected(thread_of(segment), after + 1),
                       segment, after, before});
    }

    const std::vector<Thread> &threads_;
    const Weighting &weighting_;
    double scale_;
    const Pass &pass_;
    std::vector<unsigned char> sampled_;
    std::int64_t count_;
};

void Completion::fill_to(std::int64_t points)
{
    std::priority_queue<Run> runs;
    for (std::size_t s = 0; s < pass_.segments.size(); ++s) {
        const auto &segment = pass_.segments[s];
        const Thread &thread = threads_[static_cast<std::size_t>(segment.thread)];
        std::int64_t after = segment.start;
        for (std::int64_t i = segment.begin; i < segment.end; ++i) {
            const std::int64_t position = position_of(thread, pass_.taken[static_cast<std::size_t>(i)]);
            push_run(runs, static_cast<std::int32_t>(s), after, position);
            after = position;
        }
        push_run(runs, static_cast<std::int32_t>(s), after, thread.length);
    }
    while (count_ < points && !runs.empty()) {
        const Run run = runs.top();
        runs.pop();
        const Thread &thread = thread_of(run.segment);
        const std::int64_t middle = run.after + 1 + (run.before - run.after - 1) / 2;
        // A forced point may stand inside the run: the nearest free one instead.
        std::int64_t chosen = -1;
        for (std::int64_t offset = 0; chosen < 0; ++offset) {
            const std::int64_t low = middle - offset;
            const std::int64_t high = middle + offset;
            if (low <= run.after && high >= run.before)
                break;
            if (low > run.after && sampled_[static_cast<std::size_t>(thread.base + low * thread.stride)] == 0)
                chosen = low;
            else if (high < run.before &&
                     sampled_[static_cast<std::size_t>(thread.base + high * thread.stride)] == 0)
                chosen = high;
        }
        if (chosen < 0)
            continue;
        sampled_[static_cast<std::size_t>(thread.base + chosen * thread.stride)] = 1;
        ++count_;
        push_run(runs, run.segment, run.after, chosen);
        push_run(runs, run.segment, chosen, run.before);
    }
}

void Completion::thin_to(std::int64_t points)
{
    // Each segment's points as a list that survives removals.
    const auto size = pass_.taken.size();
    std::vector<std::int64_t> previous(size);
    std::vector<std::int64_t> next(size);
    std::vector<std::int32_t> owner(size);
    for (std::size_t s = 0; s < pass_.segments.size(); ++s) {
        const auto &segment = pass_.segments[s];
        for (std::int64_t i = segment.begin; i < segment.end; ++i) {
            previous[static_cast<std::size_t>(i)] = i - 1;  // begin - 1: the start
            next[static_cast<std::size_t>(i)] = i + 1;      // end: the line's end
            owner[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(s);
        }
    }
    const auto score = [&](std::int64_t i) {
        const auto &segment = pass_.segments[static_cast<std::size_t>(owner[static_cast<std::size_t>(i)])];
        const Thread &thread = threads_[static_cast<std::size_t>(segment.thread)];
        const std::int64_t p = previous[static_cast<std::size_t>(i)];
        const std::int64_t n = next[static_cast<std::size_t>(i)];
        const std::int64_t before =
            p < segment.begin ? segment.start : position_of(thread, pass_.taken[static_cast<std::size_t>(p)]);
        const std::int64_t after =
            n >= segment.end ? thread.length : position_of(thread, pass_.taken[static_cast<std::size_t>(n)]);
        return static_cast<double>(after - before) /
               expected(thread, position_of(thread, pass_.taken[static_cast<std::size_t>(i)]));
    };
    using Entry = std::pair<double, std::int64_t>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> heap;
    for (std::size_t i = 0; i < size; ++i)
        heap.push({score(static_cast<std::int64_t>(i)), static_cast<std::int64_t>(i)});
    std::vector<unsigned char> dropped(size, 0);
    while (count_ > points && !heap.empty()) {
        const auto [value, i] = heap.top();
        heap.pop();
        const auto u = static_cast<std::size_t>(i);
        if (dropped[u] != 0)
            continue;
        // Neighbours dropped since the entry was made widen the point's gap.
        if (const double now = score(i); now > value) {
            heap.push({now, i});
            continue;
        }
        dropped[u] = 1;
        sampled_[static_cast<std::size_t>(pass_.taken[u])] = 0;
        --count_;
        const auto &segment = pass_.segments[static_cast<std::size_t>(owner[u])];
        if (previous[u] >= segment.begin)
            next[static_cast<std::size_t>(previous[u])] = next[u];
        if (next[u] < segment.end)
            previous[static_cast<std::size_t>(next[u])] = previous[u];
    }
}

}  // namespace

std::vector<std::int64_t> complete(const Grid &grid, const std::vector<Thread> &threads,
                                   const Weighting &weighting, double scale, const Pass &pass,
                                   const std::vector<std::int64_t> &forced, std::int64_t points)
{
    Completion completion(grid, threads, weighting, scale, pass, forced);
    if (pass.count < points)
        completion.fill_to(points);
    else
        completion.thin_to(points);
    return completion.result();
}

}  // namespace psenv::plan::threads
