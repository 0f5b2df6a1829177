// Axis ticks of the pictures: labels never overlap, the ends are labelled.
#include <gtest/gtest.h>

#include "axis_ticks.h"

namespace {

void expect_apart(const std::vector<long long> &ticks, long long lo, long long hi, double pixels,
                  double char_width, double line_height)
{
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.front(), lo);
    const double unit = pixels / static_cast<double>(hi - lo + 1);
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        ASSERT_GT(ticks[i], ticks[i - 1]);
        ASSERT_LE(ticks[i], hi);
        const double room = static_cast<double>(ticks[i] - ticks[i - 1]) * unit;
        const double needed = (psenv::plan::label_extent(ticks[i - 1], char_width, line_height) +
                               psenv::plan::label_extent(ticks[i], char_width, line_height)) / 2;
        EXPECT_GE(room, needed) << ticks[i - 1] << " and " << ticks[i] << " over " << pixels
                                << " px for " << lo << ".." << hi;
    }
}

TEST(AxisTicks, LabelsKeepApartOnNarrowAndWideAxes)
{
    for (const long long extent : {1LL, 2LL, 3LL, 7LL, 10LL, 64LL, 99LL, 100LL, 101LL, 512LL,
                                   1000LL, 4096LL, 100000LL, 2147483647LL})
        for (const double pixels : {8.0, 20.0, 60.0, 200.0, 560.0, 2000.0}) {
            expect_apart(psenv::plan::axis_ticks(0, extent - 1, pixels, 6.6, 12), 0, extent - 1,
                         pixels, 6.6, 12);
            expect_apart(psenv::plan::axis_ticks(0, extent - 1, pixels, 0, 12), 0, extent - 1,
                         pixels, 0, 12);
            const long long lo = -(extent / 2);
            expect_apart(psenv::plan::axis_ticks(lo, lo + extent - 1, pixels, 6.6, 12), lo,
                         lo + extent - 1, pixels, 6.6, 12);
        }
}

TEST(AxisTicks, RoundStepsAndTheLastIncrement)
{
    EXPECT_EQ(psenv::plan::axis_ticks(0, 63, 560, 6.6, 12),
              (std::vector<long long>{0, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 63}));
    // Over 200 pixels 63 stands too close to 60 and takes its place.
    EXPECT_EQ(psenv::plan::axis_ticks(0, 63, 200, 6.6, 12),
              (std::vector<long long>{0, 10, 20, 30, 40, 50, 63}));
    EXPECT_EQ(psenv::plan::axis_ticks(0, 0, 100, 6.6, 12), (std::vector<long long>{0}));
}

}  // namespace
