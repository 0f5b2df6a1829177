#include "plain_decimal.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace psenv::plan {
namespace {

std::size_t digits_at(std::string_view text, std::size_t at)
{
    std::size_t end = at;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9')
        ++end;
    return end - at;
}

// from_chars alone would take "inf", "nan" and hex digits after "0x".
bool is_plain(std::string_view text)
{
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    const std::size_t whole = digits_at(text, at);
    at += whole;
    std::size_t fraction = 0;
    if (at < text.size() && text[at] == '.') {
        fraction = digits_at(text, at + 1);
        at += 1 + fraction;
    }
    if (whole + fraction == 0)
        return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            ++at;
        const std::size_t exponent = digits_at(text, at);
        if (exponent == 0)
            return false;
        at += exponent;
    }
    return at == text.size();
}

}  // namespace

std::optional<double> parse_plain_decimal(std::string_view text, double low, double high)
{
    if (!is_plain(text))
        return std::nullopt;
    if (text[0] == '+')  // from_chars takes no leading '+'
        text.remove_prefix(1);
    double value = 0.0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (problem != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
        value < low || value > high)
        return std::nullopt;
    return value;
}

}  // namespace psenv::plan
