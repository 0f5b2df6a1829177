#include "schedule_check.h"

#include <climits>
#include <cstring>
#include <map>
#include <string_view>

namespace psenv::plan {
namespace {

// The module reads pieces of at most 255 characters and at most ten integers.
constexpr int kPieceSize = 256;
constexpr int kMostEntries = 10;

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

std::string ordinal(int n)
{
    const int tens = n % 100;
    const char *suffix = (tens >= 11 && tens <= 13) ? "th"
                         : n % 10 == 1              ? "st"
                         : n % 10 == 2              ? "nd"
                         : n % 10 == 3              ? "rd"
                                                    : "th";
    return std::to_string(n) + suffix;
}

// One piece parsed as the module parses it, with what it passes over.
struct ParsedPiece {
    std::vector<long long> entries;  // unclamped values
    std::string ignored;             // first word of ignored text, if any
    bool blank = true;
};

ParsedPiece parse_piece(std::string_view text)
{
    ParsedPiece parsed;
    std::size_t p = 0;
    for (char c : text)
        if (!is_space(c))
            parsed.blank = false;
    while (static_cast<int>(parsed.entries.size()) < kMostEntries) {
        while (p < text.size() && is_space(text[p]))
            ++p;
        std::size_t q = p;
        if (q < text.size() && (text[q] == '+' || text[q] == '-'))
            ++q;
        if (q >= text.size() || !is_digit(text[q]))
            break;
        long long magnitude = 0;
        for (; q < text.size() && is_digit(text[q]); ++q)
            if (magnitude <= LLONG_MAX / 100)
                magnitude = magnitude * 10 + (text[q] - '0');
        parsed.entries.push_back(text[p] == '-' ? -magnitude : magnitude);
        p = q;
    }
    while (p < text.size() && is_space(text[p]))
        ++p;
    if (p < text.size()) {
        std::size_t end = p;
        while (end < text.size() && !is_space(text[end]) && end - p < 24)
            ++end;
        parsed.ignored = std::string(text.substr(p, end - p));
    }
    return parsed;
}

class Checker {
public:
    explicit Checker(const std::vector<int> &ni) : ni_(ni) {}

    void first_row(long line, const ParsedPiece &parsed)
    {
        report_.columns = static_cast<int>(parsed.entries.size());
        report_.rows = 1;
        report_.readable = report_.columns > 0;
        if (!report_.readable) {
            add(line, parsed.blank ? "the first row is blank: the module reads no schedule "
                                     "from this file"
                                   : "the first row holds no integer: the module reads no "
                                     "schedule from this file");
            return;
        }
        if (!ni_.empty() && report_.columns != static_cast<int>(ni_.size()))
            add(line, std::to_string(report_.columns) + " column" +
                          (report_.columns == 1 ? "" : "s") + ", but the grid has " +
                          std::to_string(ni_.size()) + " dimension" +
                          (ni_.size() == 1 ? "" : "s"));
        row_.assign(static_cast<std::size_t>(report_.columns), 0);
        later_row(line, parsed, true);
    }

    void later_row(long line, const ParsedPiece &parsed, bool first = false)
    {
        if (!first)
            ++report_.rows;
        const auto found = static_cast<int>(parsed.entries.size());
        const int columns = report_.columns;
        if (parsed.blank) {
            add(line, "blank line: the reader repeats the previous row");
        } else {
            if (!parsed.ignored.empty())
                add(line, "'" + parsed.ignored + "' is not an integer: the reader ignores it "
                              "and the rest of the line");
            if (found < columns && !first)
                add(line, std::to_string(found) + " of " + std::to_string(columns) +
                              " columns: the reader keeps the previous row's entr" +
                              (columns - found == 1 ? "y from the " + ordinal(found + 1) +
                                                          " column on"
                                                    : "ies from the " + ordinal(found + 1) +
                                                          " column on"));
            if (found > columns)
                add(line, std::to_string(found) + " columns where the first row has " +
                              std::to_string(columns) + ": the reader ignores the extra ones");
        }
        for (int k = 0; k < found && k < columns; ++k)
            check_entry(line, k, parsed.entries[static_cast<std::size_t>(k)]);
        for (int k = 0; k < found && k < columns; ++k)
            row_[static_cast<std::size_t>(k)] = clamp(parsed.entries[static_cast<std::size_t>(k)]);
        const auto [it, fresh] = seen_.emplace(row_, line);
        if (!fresh && !parsed.blank)
            add(line, "repeats the row of line " + std::to_string(it->second));
    }

    void add(long line, std::string text) { report_.findings.push_back({line, std::move(text)}); }
    bool unreadable() const { return !report_.readable; }
    CheckReport finish() { return std::move(report_); }

private:
    static int clamp(long long value)
    {
        return static_cast<int>(value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : value);
    }

    void check_entry(long line, int k, long long value)
    {
        const std::string where = "entry " + std::to_string(value) + " of dimension " +
                                  std::to_string(k + 1);
        if (value != clamp(value))
            add(line, where + " does not fit 32 bits: the reader clamps it");
        else if (k < static_cast<int>(ni_.size()) && (value < 0 || value >= ni_[static_cast<std::size_t>(k)]))
            add(line, where + " lies outside 0.." + std::to_string(ni_[static_cast<std::size_t>(k)] - 1));
        else if (ni_.empty() && value < 0)
            add(line, where + " is negative");
    }

    const std::vector<int> &ni_;
    CheckReport report_;
    std::vector<int> row_;
    std::map<std::vector<int>, long> seen_;
};

}  // namespace

CheckReport check_schedule(std::FILE *file, const std::vector<int> &ni)
{
    Checker checker(ni);
    char piece[kPieceSize];
    long line = 1;
    bool continues = false;  // the previous piece ended inside a line
    bool have_first = false;
    while (std::fgets(piece, kPieceSize, file) != nullptr) {
        const std::size_t length = std::strlen(piece);
        const bool complete = length > 0 && piece[length - 1] == '\n';
        if (continues)
            checker.add(line, "longer than 255 characters: the reader takes the rest as "
                              "another row");
        if (piece[0] != '#') {
            const ParsedPiece parsed = parse_piece(std::string_view(piece, length));
            if (!have_first) {
                checker.first_row(line, parsed);
                have_first = true;
                if (checker.unreadable())
                    break;
            } else {
                checker.later_row(line, parsed);
            }
        }
        continues = !complete;
        if (complete)
            ++line;
    }
    if (!have_first)
        checker.add(line, "no data row: the module reads no schedule from this file");
    return checker.finish();
}

}  // namespace psenv::plan
