// The parts of the multidimensional Poisson-gap scheme (threads) that its
// passes and its completion share.
#ifndef PSENV_PLAN_POISSON_THREADS_H
#define PSENV_PLAN_POISSON_THREADS_H

#include <cstdint>
#include <vector>

#include "generators.h"
#include "plan_grid.h"

namespace psenv::plan::threads {

// One line of the grid along one dimension, walked by one thread.
struct Thread {
    std::int64_t base = 0;    // linear index of the line's first point
    std::int64_t stride = 1;  // linear step along the line
    std::int64_t sum = 0;     // distance sum c_1 + ... + c_D of the first point
    int length = 1;           // increments of the line's dimension
    int diagonal = 0;         // the diagonal's position along the line when it starts
};

// The threads of a grid in the order they start: by their level along the
// diagonal, then by dimension, then by line.  Dimensions of one increment
// have none.
std::vector<Thread> threads_of(const Grid &grid);

// The relative mean gap at each distance sum 0 .. sum of (ni - 1).
class Weighting {
public:
    Weighting(const Grid &grid, GapWeight weight);
    double at(std::int64_t sum) const
    {
        return table_.empty() ? direct(sum) : table_[static_cast<std::size_t>(sum)];
    }
    // Whether the weights are held for every sum (else computed each time).
    bool tabulated() const { return !table_.empty(); }
    std::size_t sums() const { return table_.size(); }

private:
    double direct(std::int64_t sum) const;
    GapWeight weight_;
    double span_ = 1;
    std::vector<double> table_;
};

// What one pass took: the points each thread added, in thread order.
struct Pass {
    struct Segment {
        std::int32_t thread;  // index into the thread list
        std::int32_t start;   // position the walk started from (-1: before the line)
        std::int64_t begin;   // its points are taken[begin .. end)
        std::int64_t end;
    };
    std::vector<std::int64_t> taken;
    std::vector<Segment> segments;
    std::int64_t count = 0;  // sampled points, the forced ones included
};

// Brings a pass to exactly `points` sampled points: fills the middles of the
// longest gaps for the gap expected there, or drops the points whose
// neighbours lie closest for it; the origin and `forced` stay.  Returns the
// sampled points in increasing order.
std::vector<std::int64_t> complete(const Grid &grid, const std::vector<Thread> &threads,
                                   const Weighting &weighting, double scale, const Pass &pass,
                                   const std::vector<std::int64_t> &forced, std::int64_t points);

}  // namespace psenv::plan::threads

#endif
