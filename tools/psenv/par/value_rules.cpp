#include "par/value_rules.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

#include "par/text_forms.h"
#include "treekeep.h"

namespace psenv::par {
namespace {

// Reals come back from a file with 12 significant digits, so equality and
// whole multiples are judged to that precision.
constexpr double kRelative = 1e-11;

bool close_real(double a, double b)
{
    return std::fabs(a - b) <= kRelative * std::max({1e-300, std::fabs(a), std::fabs(b)});
}

bool whole_multiple(double value, double step)
{
    const double ratio = value / step;
    if (!std::isfinite(ratio))
        return false;
    return std::fabs(ratio - std::nearbyint(ratio)) <= 1e-9 * std::max(1.0, std::fabs(ratio));
}

}  // namespace

namespace {

// The whole text as strtod reads it, no blank before it (strtod would skip
// one, and a quoting slip should not pass for a number); out of range when
// strtod says so.
struct Scanned {
    bool number = false;
    bool in_range = false;
    double value = 0.0;
};

Scanned scan_number(std::string_view text)
{
    Scanned scanned;
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())))
        return scanned;
    const std::string copy(text);
    char *end = nullptr;
    errno = 0;
    scanned.value = std::strtod(copy.c_str(), &end);
    scanned.number = end != copy.c_str() && *end == '\0';
    scanned.in_range = errno != ERANGE && std::isfinite(scanned.value);
    return scanned;
}

}  // namespace

std::optional<double> value_real(std::string_view text)
{
    const Scanned scanned = scan_number(text);
    if (!scanned.number || !scanned.in_range)
        return std::nullopt;
    return scanned.value;
}

bool unusable_number(std::string_view text)
{
    const Scanned scanned = scan_number(text);
    return scanned.number && !scanned.in_range;
}

std::optional<Refusal> real_refusal(const Param &param, const std::optional<Limits> &limits,
                                    double value)
{
    const std::string shown = real_text(value);
    if (limits && limits->max > limits->min) {
        if (value > limits->max)
            return Refusal{P_UPPER, shown + " > " + real_text(limits->max)};
        if (value < limits->min)
            return Refusal{P_LOWER, shown + " < " + real_text(limits->min)};
    }
    if (limits && limits->step > 0.0 && !whole_multiple(value, limits->step))
        return Refusal{P_STEP, shown + " is no multiple of " + real_text(limits->step)};
    const ValueList &allowed = param.enumeration;
    if (allowed.count() != 0) {
        const bool listed =
            allowed.type == T_REAL &&
            std::any_of(allowed.reals.begin(), allowed.reals.end(),
                        [value](double entry) { return close_real(entry, value); });
        if (!listed)
            return Refusal{P_ENUM, shown + " is not one of " + list_text(allowed)};
    }
    return std::nullopt;
}

std::optional<Refusal> string_refusal(const Param &param, std::string_view value)
{
    if (value.size() > kLongestText)
        return Refusal{P_STRLEN, std::to_string(value.size()) + " characters, " +
                                     std::to_string(kLongestText) + " at most"};
    const ValueList &allowed = param.enumeration;
    if (allowed.count() != 0) {
        const bool listed = allowed.type == T_STRING &&
                            std::find(allowed.texts.begin(), allowed.texts.end(), value) !=
                                allowed.texts.end();
        if (!listed)
            return Refusal{P_ENUM, quoted(value) + " is not one of " + list_text(allowed)};
    }
    return std::nullopt;
}

}  // namespace psenv::par
