#include "psenv_util/plain_numbers.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>

namespace psenv::util {

namespace {

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

// Length of the run of digits at `at`.
std::size_t digits_at(std::string_view text, std::size_t at)
{
    std::size_t end = at;
    while (end < text.size() && is_digit(text[end]))
        ++end;
    return end - at;
}

// Without a leading '+', which from_chars does not take; empty when the
// token has no digits right after its sign.
std::string_view unsigned_part(std::string_view text)
{
    if (!text.empty() && text[0] == '+')
        text.remove_prefix(1);
    return text;
}

bool is_plain_decimal(std::string_view text, bool allow_fraction)
{
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    const std::size_t whole = digits_at(text, at);
    at += whole;
    std::size_t fraction = 0;
    if (allow_fraction && at < text.size() && text[at] == '.') {
        fraction = digits_at(text, at + 1);
        at += 1 + fraction;
    }
    if (whole + fraction == 0)
        return false;
    if (allow_fraction && at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
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

std::optional<double> parse_decimal(std::string_view text, double low, double high)
{
    if (!is_plain_decimal(text, true))
        return std::nullopt;
    text = unsigned_part(text);
    double value = 0.0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (problem != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
        value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<long long> parse_whole(std::string_view text, long long low, long long high)
{
    if (!is_plain_decimal(text, false))
        return std::nullopt;
    text = unsigned_part(text);
    long long value = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (problem != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<double> parse_real(std::string_view text)
{
    return parse_decimal(text, -DBL_MAX, DBL_MAX);
}

std::optional<long long> parse_integer(std::string_view text)
{
    return parse_whole(text, LLONG_MIN, LLONG_MAX);
}

namespace {

// Splits `text` at its commas and reads each element with `element`;
// nothing when an element is signed or refused, or the count is not 1 to
// `most`.
template <class T, class Element>
std::optional<std::vector<T>> parse_list(std::string_view text, std::size_t most,
                                         Element element)
{
    std::vector<T> values;
    for (;;) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        if (item.empty() || item.front() == '+' || item.front() == '-' || values.size() == most)
            return std::nullopt;
        const std::optional<T> value = element(item);
        if (!value)
            return std::nullopt;
        values.push_back(*value);
        if (comma == std::string_view::npos)
            return values;
        text.remove_prefix(comma + 1);
    }
}

}  // namespace

std::optional<std::vector<long long>> parse_whole_list(std::string_view text, long long low,
                                                       long long high, std::size_t most)
{
    return parse_list<long long>(text, most,
                                 [=](std::string_view item) { return parse_whole(item, low, high); });
}

std::optional<std::vector<double>> parse_decimal_list(std::string_view text, double low,
                                                      double high, std::size_t most)
{
    return parse_list<double>(text, most,
                              [=](std::string_view item) { return parse_decimal(item, low, high); });
}

}  // namespace psenv::util
