// csplan_delays and csplan_transposed.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "sparsamp_plan.h"

namespace {

TEST(Delays, AreIncrementsOverTheSpectralWidth)
{
    const int rows[] = {0, 0, 3, 1, 5, 2};
    const double sw[] = {1000.0, 400.0};
    double delays[6] = {-1, -1, -1, -1, -1, -1};
    ASSERT_EQ(csplan_delays(rows, 3, 2, sw, delays, 6), CSPLAN_OK);
    const double expected[] = {0.0, 0.0, 0.003, 0.0025, 0.005, 0.005};
    for (int i = 0; i < 6; ++i)
        EXPECT_DOUBLE_EQ(delays[i], expected[i]) << i;
    EXPECT_EQ(csplan_delays(nullptr, 0, 2, sw, delays, 0), CSPLAN_OK);
}

TEST(Delays, RefuseWhatIsNoDelay)
{
    const int rows[] = {0, 0, 3, -1};
    const double sw[] = {1000.0, 400.0};
    const double zero[] = {1000.0, 0.0};
    const double nan[] = {std::numeric_limits<double>::quiet_NaN(), 1.0};
    double delays[4] = {7, 7, 7, 7};
    EXPECT_EQ(csplan_delays(rows, 2, 2, sw, delays, 4), CSPLAN_EINVAL);  // the -1
    EXPECT_EQ(csplan_delays(rows, 1, 2, zero, delays, 4), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_delays(rows, 1, 2, nan, delays, 4), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_delays(rows, 1, 2, sw, delays, 1), CSPLAN_ERANGE);
    EXPECT_EQ(csplan_delays(rows, -1, 2, sw, delays, 4), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_delays(rows, 1, 0, sw, delays, 4), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_delays(rows, 1, 11, sw, delays, 4), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_delays(rows, 1, 2, nullptr, delays, 4), CSPLAN_EINVAL);
    EXPECT_EQ(delays[0], 7);
}

TEST(Transposed, RecognisesAGridGivenInTheWrongOrder)
{
    // Rows of a 128 x 64 schedule against --ni 64,128.
    const int rows[] = {0, 0, 100, 10, 5, 63};
    const csplan_grid given = {2, {64, 128}};
    csplan_grid fits{};
    ASSERT_EQ(csplan_transposed(&given, rows, 3, 2, &fits), 1);
    EXPECT_EQ(fits.dimensions, 2);
    EXPECT_EQ(fits.ni[0], 128);
    EXPECT_EQ(fits.ni[1], 64);
    // Fits as given, fits no order, or columns unlike the grid: 0.
    const csplan_grid right = {2, {128, 64}};
    EXPECT_EQ(csplan_transposed(&right, rows, 3, 2, &fits), 0);
    const int far[] = {0, 0, 200, 10};
    EXPECT_EQ(csplan_transposed(&given, far, 2, 2, &fits), 0);
    EXPECT_EQ(csplan_transposed(&given, rows, 2, 3, &fits), 0);
    // Three dimensions in another order than reversed.
    const int three[] = {0, 0, 0, 7, 30, 2};
    const csplan_grid shuffled = {3, {32, 3, 8}};
    ASSERT_EQ(csplan_transposed(&shuffled, three, 2, 3, &fits), 1);
    EXPECT_EQ(fits.ni[0], 8);
    EXPECT_EQ(fits.ni[1], 32);
    EXPECT_EQ(fits.ni[2], 3);
    EXPECT_EQ(csplan_transposed(nullptr, rows, 3, 2, &fits), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_transposed(&given, rows, 3, 2, nullptr), CSPLAN_EINVAL);
}

}  // namespace
