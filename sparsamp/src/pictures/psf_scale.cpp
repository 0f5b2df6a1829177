#include "psf_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "axis_ticks.h"
#include "psenv_util/plain_numbers.h"
#include "sparsamp_pictures.h"

namespace psenv::plan {
namespace {

std::string number(double value, const char *pattern)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, pattern, value);
    return buf;
}

}  // namespace

double PsfScale::fraction(double v, double automatic) const
{
    switch (kind) {
    case Kind::Decibel: {
        if (!(v > 0))
            return 0;
        return std::clamp((20 * std::log10(v) - value) / -value, 0.0, 1.0);
    }
    case Kind::Fixed:
        return std::clamp(v / value, 0.0, 1.0);
    default:
        return automatic > 0 ? std::clamp(v / automatic, 0.0, 1.0) : 0.0;
    }
}

std::string PsfScale::label(double f, double automatic) const
{
    switch (kind) {
    case Kind::Decibel: {
        const double db = value * (1 - f);
        return number(db > -0.5 ? 0.0 : db, "%.0f dB");
    }
    case Kind::Fixed:
        return number(value * f, "%.3g");
    default:
        return number(automatic * f, "%.3f");
    }
}

std::string PsfScale::describe(double automatic, const char *automatic_what) const
{
    switch (kind) {
    case Kind::Decibel:
        return "scale " + number(value, "%g") + " dB to 0 dB (the peak)";
    case Kind::Fixed:
        return "scale 0 to " + number(value, "%g") + " (fixed)";
    default:
        return "scale 0 to " + number(automatic, "%.4f") + " (" + automatic_what + ")";
    }
}

std::optional<PsfScale> parse_scale(std::string_view text)
{
    PsfScale scale;
    if (text.rfind("fixed:", 0) == 0) {
        const auto value = util::parse_decimal(text.substr(6), 0.0, CSPLAN_MOST_FIXED_SCALE);
        if (!value || !(*value > 0))
            return std::nullopt;
        scale.kind = PsfScale::Kind::Fixed;
        scale.value = *value;
        return scale;
    }
    if (text.rfind("db:", 0) == 0) {
        const auto value = util::parse_decimal(text.substr(3), CSPLAN_LOWEST_DECIBEL_SCALE, 0.0);
        if (!value || !(*value < 0))
            return std::nullopt;
        scale.kind = PsfScale::Kind::Decibel;
        scale.value = *value;
        return scale;
    }
    return std::nullopt;
}

std::vector<Tick> frequency_ticks(const FrequencyAxis &axis, double pixels, double char_width,
                                  double line_height)
{
    std::vector<Tick> ticks;
    if (axis.sw <= 0) {
        for (const long long t :
             axis_ticks(axis.low(), axis.high(), pixels, char_width, line_height))
            ticks.push_back({static_cast<double>(t), std::to_string(t)});
        return ticks;
    }
    // Round frequencies: the smallest step of 1, 2 or 5 times a power of ten
    // whose labels keep a gap of six pixels.
    const double hz_per_index = axis.sw / static_cast<double>(axis.n);
    const double pixels_per_hz = pixels / static_cast<double>(axis.n) / hz_per_index;
    const double low = static_cast<double>(axis.low()) * hz_per_index;
    const double high = static_cast<double>(axis.high()) * hz_per_index;
    const auto label = [](double hz) { return number(hz, "%g"); };
    const auto extent = [&](double hz) {
        return char_width > 0 ? char_width * static_cast<double>(label(hz).size()) : line_height;
    };
    double step = std::pow(10.0, std::floor(std::log10(std::max(high - low, 1e-9))) - 3);
    for (int tries = 0; tries < 40; ++tries) {
        const double widest = std::max(extent(low), extent(high)) + 6;
        if (step * pixels_per_hz >= widest)
            break;
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
        step *= mantissa < 1.5 ? 2.0 : mantissa < 3.5 ? 2.5 : 2.0;
    }
    const auto first = static_cast<long long>(std::ceil(low / step - 1e-9));
    const auto last = static_cast<long long>(std::floor(high / step + 1e-9));
    for (long long i = first; i <= last; ++i) {
        const double hz = static_cast<double>(i) * step;
        ticks.push_back({hz / hz_per_index, label(hz)});
    }
    return ticks;
}

std::string axis_title(const FrequencyAxis &axis, int dimension)
{
    return std::string(axis.sw > 0 ? "frequency (Hz)" : "frequency index") + ", dimension " +
           std::to_string(dimension);
}

}  // namespace psenv::plan
