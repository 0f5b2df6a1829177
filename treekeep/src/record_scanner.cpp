// Parameter files are read token by token.  fscanf would do, but it parses
// its format string on every call and cannot tell "not a number" from "end
// of file"; these scans follow the stdio conversions character for character
// (including which character they leave unread) and say which of the two
// happened.
#include "record_scanner.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <system_error>
#include <type_traits>

#include "scan_characters.h"
#include "treekeep_internal.h"
#include "window_scans.h"

namespace treekeep {
namespace {

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

#define PSENV_SCANS_FOR(Source)                                            \
    template Scan scanWord<Source>(Source &, char *, std::size_t);         \
    template Scan scanInteger<Source>(Source &, long &);                   \
    template Scan scanHex<Source>(Source &, unsigned long &);              \
    template Scan scanReal<Source>(Source &, double &);
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
