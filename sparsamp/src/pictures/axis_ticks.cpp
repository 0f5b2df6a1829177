#include "axis_ticks.h"

#include <algorithm>
#include <string>

namespace psenv::plan {

double label_extent(long long value, double char_width, double line_height)
{
    if (char_width <= 0)
        return line_height;
    return char_width * static_cast<double>(std::to_string(value).size());
}

namespace {

// Labels centred on their ticks: neighbours need half of each extent apart.
bool clear_of(long long a, long long b, double unit, double char_width, double line_height,
              double gap)
{
    const double needed =
        (label_extent(a, char_width, line_height) + label_extent(b, char_width, line_height)) / 2 +
        gap;
    return static_cast<double>(b > a ? b - a : a - b) * unit >= needed;
}

long long first_multiple(long long lo, long long step)
{
    long long m = (lo / step) * step;
    if (m < lo)
        m += step;
    return m;
}

}  // namespace

std::vector<long long> axis_ticks(long long lo, long long hi, double pixels, double char_width,
                                  double line_height, double gap)
{
    if (hi < lo)
        std::swap(lo, hi);
    const double unit = pixels / static_cast<double>(hi - lo + 1);
    // The widest label decides the step (the longest numbers sit at the ends).
    const long long widest = std::max(label_extent(lo, char_width, line_height),
                                      label_extent(hi, char_width, line_height)) ==
                                     label_extent(lo, char_width, line_height)
                                 ? lo
                                 : hi;
    long long step = 1;
    for (long long scale = 1;; scale *= 10) {
        bool found = false;
        for (const long long base : {1LL, 2LL, 5LL}) {
            step = base * scale;
            if (clear_of(widest, widest + step, unit, char_width, line_height, gap) ||
                step > hi - lo) {
                found = true;
                break;
            }
        }
        if (found)
            break;
    }
    std::vector<long long> ticks{lo};
    for (long long t = first_multiple(lo + 1, step); t <= hi; t += step)
        if (clear_of(ticks.back(), t, unit, char_width, line_height, gap))
            ticks.push_back(t);
    if (ticks.back() != hi) {
        if (clear_of(ticks.back(), hi, unit, char_width, line_height, gap))
            ticks.push_back(hi);
        else if (ticks.size() >= 2 &&
                 clear_of(ticks[ticks.size() - 2], hi, unit, char_width, line_height, gap))
            ticks.back() = hi;
    }
    return ticks;
}

}  // namespace psenv::plan
