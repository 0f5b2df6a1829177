#include "cli.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

#include "errsink.h"
#include "treekeep.h"

namespace psenv {

namespace {
thread_local ErrorCapture *capture = nullptr;
}  // namespace

ErrorCapture::ErrorCapture() : outer_(capture)
{
    capture = this;
}

ErrorCapture::~ErrorCapture()
{
    capture = outer_;
}

void ErrorCapture::keep(std::string_view text)
{
    while (!text.empty() && text.back() == '\n')
        text.remove_suffix(1);
    messages_.emplace_back(text);
}

std::string ErrorCapture::text() const
{
    std::string joined;
    for (const std::string &message : messages_) {
        if (!joined.empty())
            joined += '\n';
        joined += message;
    }
    return joined;
}

void error(std::string_view text)
{
    if (capture != nullptr) {
        capture->keep(text);
        return;
    }
    std::string line = "psenv: ";
    line.append(text);
    if (line.back() != '\n')
        line.push_back('\n');
    std::fputs(line.c_str(), stderr);
}

int usage_error(std::string_view text, std::string_view command)
{
    error(text);
    if (capture != nullptr)
        return kExitUsage;
    std::string hint = "psenv: Try 'psenv ";
    if (!command.empty()) {
        hint.append(command);
        hint.push_back(' ');
    }
    hint.append("--help'.\n");
    std::fputs(hint.c_str(), stderr);
    return kExitUsage;
}

namespace {
void collect(const char *text, void *context)
{
    static_cast<std::string *>(context)->append(text);
}
}  // namespace

std::string store_message(int code, std::string_view first, std::string_view second)
{
    std::string captured;
    werr_hook previous = Werrprintf_set_hook(collect, &captured);
    P_err(code, std::string(first).c_str(), std::string(second).c_str());
    Werrprintf_set_hook(previous, nullptr);
    while (!captured.empty() && captured.back() == '\n')
        captured.pop_back();
    return captured;
}

bool Args::has(std::string_view name) const
{
    for (const auto &[key, value] : options)
        if (key == name)
            return true;
    return false;
}

std::optional<std::string> Args::get(std::string_view name) const
{
    std::optional<std::string> found;
    for (const auto &[key, value] : options)
        if (key == name)
            found = value;  // the last one wins
    return found;
}

std::vector<std::string> Args::all(std::string_view name) const
{
    std::vector<std::string> values;
    for (const auto &[key, value] : options)
        if (key == name)
            values.push_back(value);
    return values;
}

std::optional<Args> parse_args(int argc, char **argv, int first,
                               const std::vector<OptionSpec> &spec, std::string_view command)
{
    Args args;
    bool operands_only = false;
    for (int i = first; i < argc; ++i) {
        std::string_view word = argv[i];
        if (operands_only || word.size() < 2 || word.substr(0, 2) != "--") {
            args.operands.emplace_back(word);
            continue;
        }
        if (word == "--") {
            operands_only = true;
            continue;
        }
        std::string_view body = word.substr(2);
        std::optional<std::string_view> inline_value;
        if (auto eq = body.find('='); eq != std::string_view::npos) {
            inline_value = body.substr(eq + 1);
            body = body.substr(0, eq);
        }
        const OptionSpec *match = nullptr;
        for (const auto &option : spec)
            if (option.name == body)
                match = &option;
        if (match == nullptr) {
            usage_error("unknown option '--" + std::string(body) + "'", command);
            return std::nullopt;
        }
        std::string value;
        if (match->takes_value) {
            if (inline_value) {
                value = *inline_value;
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                usage_error("option '--" + std::string(body) + "' needs a value", command);
                return std::nullopt;
            }
        } else if (inline_value) {
            usage_error("option '--" + std::string(body) + "' takes no value", command);
            return std::nullopt;
        }
        args.options.emplace_back(std::string(body), value);
    }
    return args;
}

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

int bad_number(std::string_view what, std::string_view text, std::string_view kind,
               std::string_view command)
{
    return usage_error(std::string(what) + " '" + std::string(text) + "' is not " +
                           std::string(kind),
                       command);
}

namespace {

// Nothing to go on with after a usage error or --help; `status` says how the
// command ends.
template <class Help>
std::optional<Args> parse_then_help(int argc, char **argv, int first,
                                    const std::vector<OptionSpec> &spec,
                                    std::string_view command, Help help, int &status)
{
    auto args = parse_args(argc, argv, first, spec, command);
    if (!args) {
        status = kExitUsage;
        return std::nullopt;
    }
    if (args->has("help")) {
        help();
        status = kExitOk;
        return std::nullopt;
    }
    return args;
}

}  // namespace

std::optional<Args> parse_command(int argc, char **argv, int first,
                                  const std::vector<OptionSpec> &spec, std::string_view command,
                                  void (*help)(), int &status)
{
    return parse_then_help(argc, argv, first, spec, command, help, status);
}

std::optional<Args> parse_command(int argc, char **argv, int first,
                                  const std::vector<OptionSpec> &spec, std::string_view command,
                                  const char *help, int &status)
{
    return parse_then_help(argc, argv, first, spec, command,
                           [help] { std::fputs(help, stdout); }, status);
}

}  // namespace psenv
