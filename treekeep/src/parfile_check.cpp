#include "parfile_check.h"

#include <climits>
#include <cstdlib>
#include <map>
#include <optional>
#include <utility>

#include "record_scanner.h"

namespace treekeep {
namespace {

bool blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::optional<long long> whole_integer(std::string_view token)
{
    std::size_t at = 0;
    if (at < token.size() && (token[at] == '+' || token[at] == '-'))
        ++at;
    if (at == token.size() || token.size() > 20)
        return std::nullopt;
    for (std::size_t i = at; i < token.size(); ++i)
        if (token[i] < '0' || token[i] > '9')
            return std::nullopt;
    return std::strtoll(std::string(token).c_str(), nullptr, 10);
}

bool whole_real(std::string_view token)
{
    // strtod would stop at a NUL byte and take the rest for the end; the
    // loaders' scan refuses a number longer than its buffer.
    if (token.find('\0') != std::string_view::npos || token.size() > kLongestNumber)
        return false;
    const std::string copy(token);
    char *end = nullptr;
    std::strtod(copy.c_str(), &end);
    return end != copy.c_str() && *end == '\0';
}

bool whole_hex(std::string_view token)
{
    if (!token.empty() && (token[0] == '+' || token[0] == '-'))
        token.remove_prefix(1);
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X'))
        token.remove_prefix(2);
    if (token.empty())
        return false;
    for (char c : token)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    return true;
}

// Quoted for a message: at most 20 characters of a token.
std::string shown(std::string_view token)
{
    // Appended, not "'" + printable(...): that sets off a false -Wrestrict
    // of g++ 12 at -O3.
    std::string text(1, '\'');
    text += printable(token.substr(0, 20));
    if (token.size() > 20)
        text += "...";
    return text + "'";
}

enum class Field { kShort, kInt, kReal, kHex };

struct HeaderField {
    const char *name;
    Field kind;
};

constexpr HeaderField kHeader[] = {
    {"subtype", Field::kShort}, {"type", Field::kShort},   {"maximum", Field::kReal},
    {"minimum", Field::kReal},  {"step", Field::kReal},    {"group", Field::kShort},
    {"dgroup", Field::kShort},  {"protection", Field::kInt}, {"active", Field::kShort},
    {"trailer", Field::kHex},
};

bool field_ok(Field kind, std::string_view token)
{
    switch (kind) {
    case Field::kShort: {
        const auto value = whole_integer(token);
        return value && *value >= SHRT_MIN && *value <= SHRT_MAX;
    }
    case Field::kInt: {
        const auto value = whole_integer(token);
        return value && *value >= INT_MIN && *value <= INT_MAX;
    }
    case Field::kReal:
        return whole_real(token);
    case Field::kHex:
        return whole_hex(token);
    }
    return false;
}

class Checker {
public:
    Checker(std::string_view bytes, bool find_repeats)
        : bytes_(bytes), find_repeats_(find_repeats)
    {
    }

    FileReport run()
    {
        while (!halted_ && record())
            ;
        return std::move(report_);
    }

private:
    // One record; false when checking cannot go on (or the file ended).
    bool record()
    {
        const auto name = token();
        if (!name)
            return false;
        ++record_;
        // A layout slip shows in the record it happened in or in the next.
        if (slip_ && slip_->record + 1 < record_)
            slip_.reset();
        name_ = printable(*name);
        const long header_line = token_line_;
        report_.records.push_back({std::string(*name), header_line, 0});
        if (name->size() > kLongestName)
            problem("name of " + std::to_string(name->size()) + " bytes; at most " +
                    std::to_string(kLongestName) + " are read back");
        if (name->find('\0') != std::string_view::npos)
            problem("name holds a NUL byte");
        if (find_repeats_)
            note_repeat(std::string(*name));
        if (halted_)
            return false;

        long type = 0;
        for (std::size_t i = 0; i < std::size(kHeader); ++i) {
            const auto field = token();
            if (!field)
                return ended("inside the header (" + std::to_string(i + 1) + " of 11 fields)");
            // A token the file ends in may be cut: the end is the problem.
            if (at_end())
                return ended("inside the header (" + std::to_string(i + 1) + " of 11 fields)");
            if (token_line_ != header_line)
                slip(header_line, "the header line holds " + std::to_string(i + 1) +
                                      " of the 11 fields");
            if (!field_ok(kHeader[i].kind, *field)) {
                problem(std::string("header field ") + kHeader[i].name + " " + shown(*field) +
                        " is not a valid number");
                if (i == 1 || halted_)
                    return false;  // without its type the record cannot be read
                continue;
            }
            if (i == 1)
                type = static_cast<long>(*whole_integer(*field));
            if (i == 7)
                report_.records.back().protection = static_cast<long>(*whole_integer(*field));
        }
        if (type != 1 && type != 2)
            return stop("type " + std::to_string(type) + " is neither 1 (real) nor 2 (string)");
        const bool strings = type == 2;

        long values = 0;
        if (!list_count("value", values))
            return false;
        if (token_line_ == previous_end_)
            slip(previous_end_, "the header line holds more than the 11 fields");
        if (!(strings ? string_values(values) : real_list(values, "value")))
            return false;
        const long values_end = end_line_;
        long entries = 0;
        if (!list_count("enumeration", entries, values))
            return false;
        if (!strings && token_line_ == values_end)
            slip(values_end, "the value line holds more than the " + announced(values));
        if (!(strings ? string_enumeration(entries) : real_list(entries, "enumeration value")))
            return false;
        return line_break();
    }

    // A count; for the enumeration's, `values` is the value count before it.
    bool list_count(const char *what, long &count, long values = -1)
    {
        const auto text = token();
        if (!text)
            return ended(std::string("before the ") + what + " count");
        const auto value = whole_integer(*text);
        if (at_end())
            return ended(std::string("after the ") + what + " count");
        // A quoted string where the enumeration count belongs: the list
        // before it holds more strings than it announced.
        if (!value && values >= 0 && text->front() == '"')
            return stop("more values than the " + announced(values));
        if (!value || *value < 0 || *value > kMostValues)
            return stop(std::string(what) + " count " + shown(*text) + " is not a count from 0 to " +
                        std::to_string(kMostValues));
        count = static_cast<long>(*value);
        return true;
    }

    static std::string announced(long count)
    {
        return std::to_string(count) + (count == 1 ? " value announced" : " values announced");
    }

    // Reals: the writer puts them all on their count's line.
    bool real_list(long count, const char *what)
    {
        const long count_line = token_line_;
        const bool values = std::string_view(what) == "value";
        for (long i = 1; i <= count; ++i) {
            const std::string which = std::string(what) + " " + std::to_string(i) + " of " +
                                      std::to_string(count);
            const auto value = token();
            if (!value)
                return ended("before " + which);
            if (token_line_ != count_line)
                slip(count_line, std::string(values ? "the value line" : "the enumeration line") +
                                     " holds " + std::to_string(i - 1) + " of the " +
                                     announced(count));
            if (!whole_real(*value) && !at_end())
                problem(which + " " + shown(*value) + " is not a number");
            if (halted_)
                return false;
        }
        return true;
    }

    // Strings of a value list: the first on the count's line, each further
    // one on a line of its own.
    bool string_values(long count)
    {
        for (long i = 1; i <= count; ++i) {
            const std::string which = "value " + std::to_string(i) + " of " + std::to_string(count);
            if (!quoted(which, i - 1, count))
                return false;
        }
        return true;
    }

    // Strings of an enumeration: all on the count's line.
    bool string_enumeration(long count)
    {
        const long count_line = token_line_;
        for (long i = 1; i <= count; ++i) {
            const std::string which =
                "enumeration value " + std::to_string(i) + " of " + std::to_string(count);
            skip_blanks();
            if (!at_end() && line_ != count_line)
                slip(count_line, "the enumeration line holds " + std::to_string(i - 1) + " of the " +
                                     announced(count));
            if (!quoted(which, i - 1, count))
                return false;
        }
        return true;
    }

    // A string between double quotes; a backslash takes the next character
    // as it stands, as the reader does.  `read` strings of `count` came
    // before it in its list.
    bool quoted(const std::string &which, long read, long count)
    {
        const long previous_line = end_line_;
        skip_blanks();
        if (at_end())
            return ended("before " + which);
        previous_end_ = end_line_;
        token_line_ = line_;
        if (bytes_[pos_] != '"') {
            // On a later line: the list ended early, the fault is its count
            // or the lines before.
            if (line_ != previous_line)
                return stop("the values end after " + std::to_string(read) + " of the " +
                                announced(count),
                            previous_line);
            return stop(which + " does not begin with a double quote");
        }
        const long opened_on = line_;
        ++pos_;
        std::size_t length = 0;
        bool nul = false;
        for (;;) {
            if (at_end())
                return stop(which + " is a string that is never closed", opened_on);
            char c = bytes_[pos_++];
            if (c == '"')
                break;
            if (c == '\\') {
                if (at_end())
                    return stop(which + " is a string that is never closed", opened_on);
                c = bytes_[pos_++];
            }
            if (c == '\n')
                ++line_;
            nul = nul || c == '\0';
            ++length;
        }
        end_line_ = line_;
        // The store's strings end at the first NUL byte.
        if (nul)
            problem(which + " is a string that holds a NUL byte");
        if (length > kLongestString)
            problem(which + " is a string of " + std::to_string(length) + " characters; at most " +
                    std::to_string(kLongestString) + " are read back");
        return !halted_;
    }

    // What ends a record: blanks, then the line break.
    bool line_break()
    {
        while (!at_end() && (bytes_[pos_] == ' ' || bytes_[pos_] == '\t' || bytes_[pos_] == '\r'))
            ++pos_;
        if (at_end())
            return ended("before the line break that ends the record");
        if (bytes_[pos_] != '\n') {
            problem("the record's last line goes on after its enumeration");
            return !halted_;
        }
        ++pos_;
        ++line_;
        return true;
    }

    void note_repeat(const std::string &name)
    {
        const auto [first, fresh] = seen_.emplace(name, std::make_pair(line_, record_));
        if (fresh)
            return;
        const auto [line, record] = first->second;
        report_.problems.push_back({line_, record_,
                                    "'" + name_ + "': repeats record " + std::to_string(record) +
                                        " (line " + std::to_string(line) +
                                        "); a load keeps only the last of them",
                                    true});
        first->second = {line_, record_};
    }

    void skip_blanks()
    {
        while (!at_end() && blank(bytes_[pos_])) {
            if (bytes_[pos_] == '\n')
                ++line_;
            ++pos_;
        }
    }

    std::optional<std::string_view> token()
    {
        skip_blanks();
        if (at_end())
            return std::nullopt;
        previous_end_ = end_line_;
        token_line_ = end_line_ = line_;
        const std::size_t start = pos_;
        while (!at_end() && !blank(bytes_[pos_]))
            ++pos_;
        return bytes_.substr(start, pos_ - start);
    }

    bool at_end() const { return pos_ >= bytes_.size(); }

    // The first place where this record left the writer's layout.
    void slip(long line, const std::string &what)
    {
        if (!slip_)
            slip_ = FileProblem{line, record_, "'" + name_ + "': " + what};
    }

    // A problem of the record.  After a layout slip the problem is most
    // likely its consequence: the slip is reported instead, and checking
    // ends, since what follows is read out of step.
    void problem(const std::string &what, long line = 0)
    {
        if (slip_) {
            report_.problems.push_back(*slip_);
            halted_ = true;
            return;
        }
        report_.problems.push_back({line != 0 ? line : line_, record_, "'" + name_ + "': " + what});
    }

    bool stop(const std::string &what, long line = 0)
    {
        problem(what, line);
        return false;
    }

    // The end of the file is reported on the line of its last byte.
    bool ended(const std::string &where)
    {
        long last = 1;
        for (std::size_t i = 0; i + 1 < bytes_.size(); ++i)
            last += bytes_[i] == '\n' ? 1 : 0;
        return stop("the file ends " + where, last);
    }

    std::string_view bytes_;
    bool find_repeats_;
    std::size_t pos_ = 0;
    long line_ = 1;
    long token_line_ = 1;    // where the token or string read last begins
    long end_line_ = 1;      // where it ends (a string may hold line breaks)
    long previous_end_ = 1;  // where the one before it ends
    long record_ = 0;
    std::string name_;
    std::optional<FileProblem> slip_;
    bool halted_ = false;
    std::map<std::string, std::pair<long, long>> seen_;
    FileReport report_;
};

}  // namespace

bool FileReport::damaged() const
{
    for (const FileProblem &problem : problems)
        if (!problem.repeat)
            return true;
    return false;
}

std::size_t escapedByte(char c, char *out)
{
    static const char kHex[] = "0123456789abcdef";
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
    case '\\':
    case '\n':
    case '\t':
    case '\r':
        out[0] = '\\';
        out[1] = c == '\\' ? '\\' : c == '\n' ? 'n' : c == '\t' ? 't' : 'r';
        return 2;
    default:
        if (byte < 0x20 || byte == 0x7f) {
            out[0] = '\\';
            out[1] = 'x';
            out[2] = kHex[byte >> 4];
            out[3] = kHex[byte & 0xf];
            return 4;
        }
        out[0] = c;
        return 1;
    }
}

std::string printable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    char piece[kLongestEscape];
    for (const char c : text)
        out.append(piece, escapedByte(c, piece));
    return out;
}

FileReport checkFileBytes(std::string_view bytes, bool findRepeats)
{
    return Checker(bytes, findRepeats).run();
}

}  // namespace treekeep
