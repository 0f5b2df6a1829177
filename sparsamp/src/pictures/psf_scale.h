// The scale and the frequency axes of the point-spread pictures: one scale
// may be shared by several pictures so that they compare by eye, and the
// axes are in Hz when the spectral width is known.
#ifndef PSENV_PICTURES_PSF_SCALE_H
#define PSENV_PICTURES_PSF_SCALE_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace psenv::plan {

// How |F| / |F(0)| maps to colour or height: 0 up to the picture's own top
// (the max sidelobe of a heat map, 1 for a line), 0 up to a fixed value, or
// decibels from a floor (< 0) up to 0 dB, the peak.
struct PsfScale {
    enum class Kind { Automatic, Fixed, Decibel };
    Kind kind = Kind::Automatic;
    double value = 0;

    // Share 0..1 of the scale that magnitude `v` reaches; `automatic` is
    // the top of an automatic scale.
    double fraction(double v, double automatic) const;
    // The magnitude or level at share `f` as a legend label.
    std::string label(double f, double automatic) const;
    // What the scale is, for a picture's subtitle.
    std::string describe(double automatic, const char *automatic_what) const;
};

// "fixed:X" (0 < X <= 1e6) or "db:F" (-400 <= F < 0); nothing otherwise.
std::optional<PsfScale> parse_scale(std::string_view text);

// A centred frequency axis of `n` increments; in Hz when `sw` > 0 (the
// frequency of index k is k * sw / n).
struct FrequencyAxis {
    long long n = 1;
    double sw = 0;
    long long low() const { return -(n / 2); }
    long long high() const { return low() + n - 1; }
};

// A tick at `position` (a centred frequency index, possibly between two)
// with its label.
struct Tick {
    double position;
    std::string label;
};

// Ticks over `pixels` whose labels do not overlap: frequency indices, or
// round frequencies in Hz.  `char_width` 0 means a vertical axis.
std::vector<Tick> frequency_ticks(const FrequencyAxis &axis, double pixels, double char_width,
                                  double line_height);

// "frequency index, dimension J" or "frequency (Hz), dimension J".
std::string axis_title(const FrequencyAxis &axis, int dimension);

}  // namespace psenv::plan

#endif
