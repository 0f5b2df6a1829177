// csplan_parse_scale: the forms a command line gives, and the texts it
// turns down without touching the caller's scale.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "psf_scale.h"
#include "sparsamp_pictures.h"

namespace {

TEST(PictureScale, TakesFixedAndDecibelScales)
{
    const struct {
        const char *text;
        int kind;
        double value;
    } accepted[] = {
        {"fixed:0.25", CSPLAN_SCALE_FIXED, 0.25}, {"fixed:1", CSPLAN_SCALE_FIXED, 1},
        {"fixed:+2.5", CSPLAN_SCALE_FIXED, 2.5},  {"fixed:1e-3", CSPLAN_SCALE_FIXED, 1e-3},
        {"fixed:.5", CSPLAN_SCALE_FIXED, 0.5},    {"fixed:1e6", CSPLAN_SCALE_FIXED, 1e6},
        {"db:-40", CSPLAN_SCALE_DECIBEL, -40},    {"db:-0.5", CSPLAN_SCALE_DECIBEL, -0.5},
        {"db:-400", CSPLAN_SCALE_DECIBEL, -400},  {"db:-4E1", CSPLAN_SCALE_DECIBEL, -40},
    };
    for (const auto &a : accepted) {
        csplan_scale scale{};
        ASSERT_EQ(csplan_parse_scale(a.text, &scale), CSPLAN_OK) << a.text;
        EXPECT_EQ(scale.kind, a.kind) << a.text;
        EXPECT_DOUBLE_EQ(scale.value, a.value) << a.text;
    }
}

TEST(PictureScale, RefusesEveryOtherTextAndLeavesTheScaleAlone)
{
    for (const char *text :
         {"", "fixed:", "fixed:0", "fixed:-1", "fixed:1000001", "fixed:1e7", "fixed: 1",
          "fixed:1 ", "fixed:inf", "fixed:nan", "fixed:0x10", "fixed:1,5", "fixed:1.2.3",
          "fixed:e5", "fixed:1e", "Fixed:1", "fixed=1", "db:", "db:0", "db:-0", "db:+0", "db:5",
          "db:-401", "db:-40dB", "db:--40", "DB:-40", "dB:-40", "auto", "automatic", "db",
          "fixed", "db:-inf"}) {
        csplan_scale scale{CSPLAN_SCALE_FIXED, 7};
        EXPECT_EQ(csplan_parse_scale(text, &scale), CSPLAN_EINVAL) << '"' << text << '"';
        EXPECT_EQ(scale.kind, CSPLAN_SCALE_FIXED) << text;
        EXPECT_EQ(scale.value, 7) << text;
    }
    csplan_scale scale{};
    EXPECT_EQ(csplan_parse_scale(nullptr, &scale), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_parse_scale("db:-40", nullptr), CSPLAN_EINVAL);
}

// The parts the legend and the colours are drawn from: a value's share of
// the scale, and the labels at the legend's steps.
TEST(PictureScale, SharesAndLabelsOfEachKind)
{
    using psenv::plan::PsfScale;
    const PsfScale automatic;
    EXPECT_DOUBLE_EQ(automatic.fraction(0.1, 0.4), 0.25);
    EXPECT_DOUBLE_EQ(automatic.fraction(0.8, 0.4), 1.0);
    EXPECT_EQ(automatic.fraction(0.1, 0.0), 0.0);
    EXPECT_EQ(automatic.label(0.5, 0.4), "0.200");

    const PsfScale fixed{PsfScale::Kind::Fixed, 0.5};
    EXPECT_DOUBLE_EQ(fixed.fraction(0.25, 1.0), 0.5);
    EXPECT_EQ(fixed.fraction(-1, 1.0), 0.0);
    EXPECT_EQ(fixed.describe(1.0, "the peak"), "scale 0 to 0.5 (fixed)");

    const PsfScale db{PsfScale::Kind::Decibel, -40};
    EXPECT_DOUBLE_EQ(db.fraction(0.1, 1.0), 0.5);  // -20 dB
    EXPECT_EQ(db.fraction(0.0, 1.0), 0.0);         // no log of 0
    EXPECT_EQ(db.fraction(1e-9, 1.0), 0.0);        // below the floor
    EXPECT_EQ(db.fraction(std::nan(""), 1.0), 0.0);
    EXPECT_EQ(db.label(1.0, 1.0), "0 dB");
    EXPECT_EQ(db.label(0.0, 1.0), "-40 dB");
    EXPECT_EQ(db.describe(1.0, "the peak"), "scale -40 dB to 0 dB (the peak)");
}

}  // namespace
