#include "parfile_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace psenv {
namespace {

// Limits of what the loaders read back: names into 256 bytes, strings into
// 1024 (one for the terminator, one the reader never fills), counts as the
// records' 16-bit fields.
constexpr std::size_t kLongestName = 255;
constexpr std::size_t kLongestString = 1022;
constexpr long kMostValues = 32767;

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
    // strtod would stop at a NUL byte and take the rest for the end.
    if (token.find('\0') != std::string_view::npos)
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
    std::string text = "'" + std::string(token.substr(0, 20));
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
    explicit Checker(std::string_view bytes) : bytes_(bytes) {}

    std::vector<ParfileProblem> run()
    {
        while (record())
            ;
        return std::move(problems_);
    }

private:
    // One record; false when checking cannot go on (or the file ended).
    bool record()
    {
        const auto name = token();
        if (!name)
            return false;
        ++record_;
        name_ = std::string(*name);
        if (name->size() > kLongestName)
            problem("name of " + std::to_string(name->size()) + " bytes; at most " +
                    std::to_string(kLongestName) + " are read back");
        if (name->find('\0') != std::string_view::npos)
            problem("name holds a NUL byte");

        long type = 0;
        for (std::size_t i = 0; i < std::size(kHeader); ++i) {
            const auto field = token();
            if (!field)
                return ended("inside the header (" + std::to_string(i + 1) + " of 11 fields)");
            // A token the file ends in may be cut: the end is the problem.
            if (at_end())
                return ended("inside the header (" + std::to_string(i + 1) + " of 11 fields)");
            if (!field_ok(kHeader[i].kind, *field)) {
                problem(std::string("header field ") + kHeader[i].name + " " + shown(*field) +
                        " is not a valid number");
                if (i == 1)
                    return false;  // without its type the record cannot be read
            }
            if (i == 1)
                type = static_cast<long>(*whole_integer(*field));
        }
        if (type != 1 && type != 2)
            return stop("type " + std::to_string(type) + " is neither 1 (real) nor 2 (string)");
        const bool strings = type == 2;

        long count = 0;
        if (!list_count("value", count) || !list(strings, count, "value"))
            return false;
        if (!list_count("enumeration", count) || !list(strings, count, "enumeration value"))
            return false;
        return line_break();
    }

    bool list_count(const char *what, long &count)
    {
        const auto text = token();
        if (!text)
            return ended(std::string("before the ") + what + " count");
        const auto value = whole_integer(*text);
        if (at_end())
            return ended(std::string("after the ") + what + " count");
        if (!value || *value < 0 || *value > kMostValues)
            return stop(std::string(what) + " count " + shown(*text) + " is not a count from 0 to " +
                        std::to_string(kMostValues));
        count = static_cast<long>(*value);
        return true;
    }

    bool list(bool strings, long count, const char *what)
    {
        for (long i = 1; i <= count; ++i) {
            const std::string which = std::string(what) + " " + std::to_string(i) + " of " +
                                      std::to_string(count);
            if (strings) {
                if (!quoted(which))
                    return false;
                continue;
            }
            const auto value = token();
            if (!value)
                return ended("before " + which);
            if (!whole_real(*value) && !at_end())
                problem(which + " " + shown(*value) + " is not a number");
        }
        return true;
    }

    // A string between double quotes; a backslash takes the next character
    // as it stands, as the reader does.
    bool quoted(const std::string &which)
    {
        skip_blanks();
        if (at_end())
            return ended("before " + which);
        if (bytes_[pos_] != '"')
            return stop(which + " does not begin with a double quote");
        const long opened_on = line_;
        ++pos_;
        std::size_t length = 0;
        bool nul = false;
        for (;;) {
            if (at_end()) {
                line_ = opened_on;
                return stop(which + " is a string that is never closed");
            }
            char c = bytes_[pos_++];
            if (c == '"')
                break;
            if (c == '\\') {
                if (at_end()) {
                    line_ = opened_on;
                    return stop(which + " is a string that is never closed");
                }
                c = bytes_[pos_++];
            }
            if (c == '\n')
                ++line_;
            nul = nul || c == '\0';
            ++length;
        }
        // The store's strings end at the first NUL byte.
        if (nul)
            problem(which + " is a string that holds a NUL byte");
        if (length > kLongestString)
            problem(which + " is a string of " + std::to_string(length) + " characters; at most " +
                    std::to_string(kLongestString) + " are read back");
        return true;
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
            return true;
        }
        ++pos_;
        ++line_;
        return true;
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
        const std::size_t start = pos_;
        while (!at_end() && !blank(bytes_[pos_]))
            ++pos_;
        return bytes_.substr(start, pos_ - start);
    }

    bool at_end() const { return pos_ >= bytes_.size(); }

    void problem(const std::string &what)
    {
        problems_.push_back({line_, record_, "'" + name_ + "': " + what});
    }

    bool stop(const std::string &what)
    {
        problem(what);
        return false;
    }

    // The end of the file is reported on the line of its last byte.
    bool ended(const std::string &where)
    {
        line_ = 1;
        for (std::size_t i = 0; i + 1 < bytes_.size(); ++i)
            line_ += bytes_[i] == '\n' ? 1 : 0;
        return stop("the file ends " + where);
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
    long line_ = 1;
    long record_ = 0;
    std::string name_;
    std::vector<ParfileProblem> problems_;
};

}  // namespace

std::vector<ParfileProblem> check_parfile_bytes(std::string_view bytes)
{
    return Checker(bytes).run();
}

bool check_parfile(const char *path, std::vector<ParfileProblem> &problems, std::string &error)
{
    problems.clear();
    // Non-blocking, so that a FIFO is found out by fstat instead of waiting
    // for a writer.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? std::strerror(EISDIR) : "not a regular file";
        ::close(fd);
        return false;
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    problems = check_parfile_bytes(bytes);
    return true;
}

}  // namespace psenv
