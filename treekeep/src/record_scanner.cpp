// Parameter files are read token by token.  fscanf would do, but it parses
// its format string on every call and cannot tell "not a number" from "end
// of file"; these scans follow the stdio conversions character for character
// (including which character they leave unread) and say which of the two
// happened.
#include "record_scanner.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "errsink.h"
#include "treekeep_internal.h"

namespace treekeep {
namespace {

// isspace() of the "C" locale, which is what the conversions skip.
inline bool isBlank(int c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}

inline int hexDigit(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

inline int lower(int c)
{
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

// The first character that is not white space, consumed (EOF at the end).
template <class Source>
inline int firstNonBlank(Source &stream)
{
    int c;
    do
        c = stream.next();
    while (isBlank(c));
    return c;
}

// Digits accumulate saturated, the way strtol and strtoul clip.
template <int Base>
unsigned long accumulate(unsigned long value, int digit, bool &overflow)
{
    if (value > (ULONG_MAX - static_cast<unsigned long>(digit)) / Base) {
        overflow = true;
        return ULONG_MAX;
    }
    return value * Base + static_cast<unsigned long>(digit);
}

// The characters of a real, as the conversion gathers them before strtod.
class RealText {
public:
    bool add(int c)
    {
        if (length_ + 1 >= sizeof text_)
            return false;
        text_[length_++] = static_cast<char>(c);
        return true;
    }
    std::size_t length() const { return length_; }
    char last() const { return length_ > 0 ? text_[length_ - 1] : '\0'; }

    // strtod of the gathered text; false when it converts nothing at all.
    // Plain decimal text goes through from_chars, which rounds exactly as
    // strtod does and is several times faster; everything else (hex, inf,
    // nan, out of range, a dangling exponent mark) takes strtod itself.
    bool convert(double &value)
    {
        text_[length_] = '\0';
        const char *first = text_[0] == '+' ? text_ + 1 : text_;
        const char *last = text_ + length_;
        double quick = 0.0;
        if (auto [ptr, ec] = std::from_chars(first, last, quick);
            ec == std::errc() && ptr == last) {
            value = quick;
            return true;
        }
        char *end = nullptr;
        const int saved = errno;
        const double converted = std::strtod(text_, &end);
        errno = saved;
        if (end == text_)
            return false;
        value = converted;
        return true;
    }

private:
    char text_[kLongestNumber + 1];
    std::size_t length_ = 0;
};

// Match the rest of a word such as "an" of "nan" or "nf" of "inf", case
// aside; each matched character is gathered.  Bad at the first mismatch,
// End when the file ends inside the word.
template <class Source>
Scan matchWord(Source &stream, RealText &text, const char *rest)
{
    for (; *rest != '\0'; ++rest) {
        const int c = stream.next();
        if (c == EOF)
            return Scan::End;
        if (lower(c) != *rest)
            return Scan::Bad;  // the conversion has failed; nothing is put back
        text.add(c);
    }
    return Scan::Ok;
}

// Whole-token scans straight on a window.  Each takes only a token that
// lies wholly inside the window, in its plain form, followed by a character
// the conversion would leave unread; anything else (a token cut by the
// window's end, signs without digits, hex, inf, nan, a dangling exponent, a
// number out of range) returns false with nothing consumed, and the
// character scans decide.

const char *skipBlanks(const char *p, const char *end)
{
    while (p < end && isBlank(static_cast<unsigned char>(*p)))
        ++p;
    return p;
}

const char *skipDigits(const char *p, const char *end)
{
    while (p < end && isDigit(static_cast<unsigned char>(*p)))
        ++p;
    return p;
}

bool quickWord(FileWindow &window, char *buffer, std::size_t size)
{
    const char *end = window.limit();
    const char *first = skipBlanks(window.cursor(), end);
    const char *p = first;
    while (p < end && !isBlank(static_cast<unsigned char>(*p)))
        ++p;
    const auto length = static_cast<std::size_t>(p - first);
    if (p == end || length == 0 || length + 1 > size)
        return false;
    std::memcpy(buffer, first, length);
    buffer[length] = '\0';
    window.skipTo(p);
    return true;
}

bool quickInteger(FileWindow &window, long &value)
{
    const char *end = window.limit();
    const char *p = skipBlanks(window.cursor(), end);
    if (p == end)
        return false;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    const char *digits = p;
    p = skipDigits(p, end);
    // Up to 18 digits cannot overflow; longer numbers take the scan that
    // saturates.
    if (p == end || p == digits || p - digits > 18)
        return false;
    long magnitude = 0;
    for (const char *d = digits; d < p; ++d)
        magnitude = magnitude * 10 + (*d - '0');
    value = negative ? -magnitude : magnitude;
    window.skipTo(p);
    return true;
}

// Exact powers of ten as doubles.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Digits gathered in one pass, with how many there were.
struct Digits {
    const char *end;
    std::uint64_t value;
    int count;
};

Digits gatherDigits(const char *p, const char *end, std::uint64_t value, int count)
{
    for (; p < end && isDigit(static_cast<unsigned char>(*p)); ++p) {
        // Past 19 digits the value is not used; only the count matters.
        if (count < 19)
            value = value * 10 + static_cast<std::uint64_t>(*p - '0');
        ++count;
    }
    return {p, value, count};
}

bool quickReal(FileWindow &window, double &value)
{
    const char *end = window.limit();
    const char *first = skipBlanks(window.cursor(), end);
    const char *p = first;
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+'))
        ++p;
    if (end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X'))
        return false;
    Digits whole = gatherDigits(p, end, 0, 0);
    Digits all = whole;
    if (whole.end < end && *whole.end == '.')
        all = gatherDigits(whole.end + 1, end, whole.value, whole.count);
    if (all.count == 0)
        return false;
    p = all.end;
    int exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool down = p < end && *p == '-';
        if (p < end && (*p == '-' || *p == '+'))
            ++p;
        const Digits power = gatherDigits(p, end, 0, 0);
        if (power.count == 0)
            return false;  // the conversion takes the mark and fails
        p = power.end;
        exponent = power.count > 4 ? 99999 : static_cast<int>(power.value);
        if (down)
            exponent = -exponent;
    }
    if (p == end || p - first >= static_cast<std::ptrdiff_t>(kLongestNumber))
        return false;

    // At most 15 digits and a power of ten up to 22 either way: both are
    // exact doubles, so one multiplication or division rounds exactly as
    // the full conversion does.  Whole limits and short values, most of a
    // parameter file, take this path.
    const int scale = exponent - (all.count - whole.count);
    if (all.count <= 15 && scale >= -22 && scale <= 22) {
        const auto digits = static_cast<double>(all.value);
        const double result =
            scale < 0 ? digits / kPowersOfTen[-scale] : digits * kPowersOfTen[scale];
        value = negative ? -result : result;
        window.skipTo(p);
        return true;
    }
    const char *number = *first == '+' ? first + 1 : first;
    auto [stop, ec] = std::from_chars(number, p, value);
    if (ec != std::errc() || stop != p)
        return false;
    window.skipTo(p);
    return true;
}

}  // namespace

template <class Source>
Scan scanWord(Source &stream, char *buffer, std::size_t size)
{
    if constexpr (std::is_same_v<Source, FileWindow>) {
        if (quickWord(stream, buffer, size))
            return Scan::Ok;
    }
    int c = firstNonBlank(stream);
    if (c == EOF) {
        buffer[0] = '\0';
        return Scan::End;
    }
    std::size_t length = 0;
    while (c != EOF && !isBlank(c)) {
        if (length + 1 >= size) {
            stream.putBack(c);
            buffer[length] = '\0';
            return Scan::TooLong;
        }
        buffer[length++] = static_cast<char>(c);
        c = stream.next();
    }
    stream.putBack(c);
    buffer[length] = '\0';
    return Scan::Ok;
}

namespace {

// The blanks and the optional sign before an integer's digits; `c` is left
// on the first character after them.
template <class Source>
Scan scanStart(Source &stream, int &c, bool &negative)
{
    c = firstNonBlank(stream);
    if (c == EOF)
        return Scan::End;
    negative = false;
    if (c == '-' || c == '+') {
        negative = c == '-';
        c = stream.next();
        if (c == EOF)
            return Scan::End;  // the file ends inside the number
    }
    return Scan::Ok;
}

}  // namespace

template <class Source>
Scan scanInteger(Source &stream, long &value)
{
    if constexpr (std::is_same_v<Source, FileWindow>) {
        if (quickInteger(stream, value))
            return Scan::Ok;
    }
    int c = 0;
    bool negative = false;
    if (Scan start = scanStart(stream, c, negative); start != Scan::Ok)
        return start;
    if (!isDigit(c)) {
        stream.putBack(c);
        return Scan::Bad;
    }
    unsigned long magnitude = 0;
    bool overflow = false;
    while (isDigit(c)) {
        magnitude = accumulate<10>(magnitude, c - '0', overflow);
        c = stream.next();
    }
    stream.putBack(c);
    constexpr unsigned long kLongMax = static_cast<unsigned long>(LONG_MAX);
    if (negative)
        value = overflow || magnitude > kLongMax ? LONG_MIN : -static_cast<long>(magnitude);
    else
        value = overflow || magnitude > kLongMax ? LONG_MAX : static_cast<long>(magnitude);
    return Scan::Ok;
}

template <class Source>
Scan scanHex(Source &stream, unsigned long &value)
{
    int c = 0;
    bool negative = false;
    if (Scan start = scanStart(stream, c, negative); start != Scan::Ok)
        return start;
    bool digits = false;
    if (c == '0') {
        digits = true;
        c = stream.next();
        if (lower(c) == 'x')
            c = stream.next();
    }
    if (!digits && hexDigit(c) < 0) {
        stream.putBack(c);
        return Scan::Bad;
    }
    unsigned long magnitude = 0;
    bool overflow = false;
    for (int digit = hexDigit(c); digit >= 0; digit = hexDigit(c)) {
        magnitude = accumulate<16>(magnitude, digit, overflow);
        c = stream.next();
    }
    stream.putBack(c);
    if (overflow)
        value = ULONG_MAX;
    else
        value = negative ? 0UL - magnitude : magnitude;
    return Scan::Ok;
}

template <class Source>
Scan scanReal(Source &stream, double &value)
{
    if constexpr (std::is_same_v<Source, FileWindow>) {
        if (quickReal(stream, value))
            return Scan::Ok;
    }
    int c = firstNonBlank(stream);
    if (c == EOF)
        return Scan::End;
    RealText text;
    std::size_t signLength = 0;
    if (c == '-' || c == '+') {
        text.add(c);
        signLength = 1;
        c = stream.next();
        if (c == EOF)
            return Scan::End;  // the file ends inside the number
    }

    if (lower(c) == 'n') {
        text.add(c);
        if (Scan word = matchWord(stream, text, "an"); word != Scan::Ok)
            return word;
        return text.convert(value) ? Scan::Ok : Scan::Bad;
    }
    if (lower(c) == 'i') {
        text.add(c);
        if (Scan word = matchWord(stream, text, "nf"); word != Scan::Ok)
            return word;
        c = stream.next();
        if (lower(c) == 'i') {
            text.add(c);
            if (Scan word = matchWord(stream, text, "nity"); word != Scan::Ok)
                return word;
        } else {
            stream.putBack(c);
        }
        return text.convert(value) ? Scan::Ok : Scan::Bad;
    }

    int exponentMark = 'e';
    bool hex = false;
    bool gotDigit = false;
    bool gotDot = false;
    bool gotExponent = false;
    if (c == '0') {
        text.add(c);
        c = stream.next();
        if (lower(c) == 'x') {
            text.add(c);
            hex = true;
            exponentMark = 'p';
            c = stream.next();
        } else {
            gotDigit = true;
        }
    }
    for (; c != EOF; c = stream.next()) {
        bool taken = true;
        if (isDigit(c) || (!gotExponent && hex && hexDigit(c) >= 0)) {
            gotDigit = true;
        } else if (gotExponent && text.last() == exponentMark && (c == '-' || c == '+')) {
            // the exponent's sign
        } else if (gotDigit && !gotExponent && lower(c) == exponentMark) {
            c = exponentMark;
            gotExponent = gotDot = true;
        } else if (!gotDot && c == '.') {
            gotDot = true;
        } else {
            taken = false;
        }
        if (!taken) {
            stream.putBack(c);
            break;
        }
        if (!text.add(c))
            return Scan::Bad;
    }
    // What is not a number because the file ended inside it counts as the
    // end, like a number that never began.
    const Scan refused = c == EOF ? Scan::End : Scan::Bad;
    if (text.length() == signLength || (hex && text.length() == signLength + 2))
        return refused;
    return text.convert(value) ? Scan::Ok : refused;
}

}  // namespace treekeep

namespace treekeep {

namespace {

// A string without escapes whose closing quote is in the window, and that
// fits the buffer; -1 leaves everything to the character reading.
int quickQuoted(FileWindow &window, char *buffer, int length)
{
    const char *end = window.limit();
    const auto left = static_cast<std::size_t>(end - window.cursor());
    const auto *open = static_cast<const char *>(std::memchr(window.cursor(), '"', left));
    if (open == nullptr)
        return -1;
    const char *first = open + 1;
    const char *p = first;
    const char *stop = end - first > length - 1 ? first + (length - 1) : end;
    while (p < stop && *p != '"' && *p != '\\')
        ++p;
    if (p == stop || *p != '"')
        return -1;
    const auto stored = static_cast<std::size_t>(p - first);
    std::memcpy(buffer, first, stored);
    buffer[stored] = '\0';
    window.skipTo(p + 1);
    return static_cast<int>(stored);
}

}  // namespace

template <class Source>
int readQuoted(Source &file, char *buffer, int length)
{
    if constexpr (std::is_same_v<Source, FileWindow>) {
        if (const int stored = quickQuoted(file, buffer, length); stored >= 0)
            return stored;
    }
    int c;
    do
        c = file.next();
    while (c != '"' && c != EOF);
    if (c == EOF)
        return -1;

    const int limit = length - 1;
    int stored = 0;
    for (;;) {
        if (stored >= limit) {
            Werrprintf("rscanf:ERROR in rscan, string > %d\n", length);
            buffer[stored] = '\0';
            // Skip the rest of the string so that the next read starts after
            // its closing quote, not inside it.
            for (c = file.next(); c != '"'; c = file.next()) {
                if (c == '\\')
                    c = file.next();
                if (c == EOF)
                    return -1;
            }
            return stored;
        }
        c = file.next();
        if (c == '"')
            break;
        if (c == '\\')
            c = file.next();
        if (c == EOF) {
            buffer[stored] = '\0';
            return -1;
        }
        buffer[stored++] = static_cast<char>(c);
    }
    buffer[stored] = '\0';
    return stored;
}

#define PSENV_SCANS_FOR(Source)                                            \
    template Scan scanWord<Source>(Source &, char *, std::size_t);         \
    template Scan scanInteger<Source>(Source &, long &);                   \
    template Scan scanHex<Source>(Source &, unsigned long &);              \
    template Scan scanReal<Source>(Source &, double &);                    \
    template int readQuoted<Source>(Source &, char *, int);
PSENV_SCANS_FOR(StreamSource)
PSENV_SCANS_FOR(FileWindow)
#undef PSENV_SCANS_FOR

Scan scanWord(std::FILE *stream, char *buffer, std::size_t size)
{
    StreamSource source(stream);
    return scanWord(source, buffer, size);
}

Scan scanInteger(std::FILE *stream, long &value)
{
    StreamSource source(stream);
    return scanInteger(source, value);
}

Scan scanHex(std::FILE *stream, unsigned long &value)
{
    StreamSource source(stream);
    return scanHex(source, value);
}

Scan scanReal(std::FILE *stream, double &value)
{
    StreamSource source(stream);
    return scanReal(source, value);
}

}  // namespace treekeep

extern "C" int rscanf(FILE *file, char *buffer, int length)
{
    if (file == nullptr || buffer == nullptr || length < 1)
        return -1;
    treekeep::StreamSource source(file);
    return treekeep::readQuoted(source, buffer, length);
}
