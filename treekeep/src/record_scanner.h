// Token scans of parameter files.
//
// Each scan reads exactly the characters the stdio conversion it stands for
// ("%s" with a width, "%d", "%hd", "%x", "%lf"/"%lg") would read, so the
// scans, rscanf() and any stdio call can take turns on one stream.  Unlike
// fscanf they tell a token that is not a number apart from the end of the
// file.
#ifndef PSENV_TREEKEEP_RECORD_SCANNER_H
#define PSENV_TREEKEEP_RECORD_SCANNER_H

#include <cstddef>
#include <cstdio>
#include <limits>

#include "record_source.h"
#include "treekeep_files.h"
#include "treekeep_internal.h"

namespace treekeep {

// What the loaders read back whole, which the strict check of a file's
// bytes holds files to: a name fills the name buffer but its terminator, a
// quoted string stops one short of that (readQuoted cuts at length - 1), a
// number is refused by scanReal past kLongestNumber characters, and a count
// becomes a record's 16-bit size.
constexpr std::size_t kLongestName = TREEKEEP_NAME_BUFFER - 1;
constexpr std::size_t kLongestString = TREEKEEP_STRING_BUFFER - 2;
constexpr std::size_t kLongestNumber = 1023;
constexpr long kMostValues = std::numeric_limits<decltype(varInfo::size)>::max();
static_assert(kLongestName == P_LONGEST_NAME && kLongestString == P_LONGEST_STRING &&
              kMostValues == P_MOST_VALUES);

enum class Scan {
    Ok,       // a token was converted
    End,      // the stream ended (or failed) before or inside the token
    Bad,      // the next characters are not a token of that kind
    TooLong,  // a word did not fit its buffer (scanWord only)
};

// A white-space delimited word into `buffer` (`size` bytes, at least 2):
// at most size-1 characters and the terminator.  TooLong, with the first
// size-1 characters stored, when the word goes on; the rest stays unread.
Scan scanWord(std::FILE *stream, char *buffer, std::size_t size);

// A decimal integer ("%d", "%hd"): optional sign, digits.  The value is the
// one strtol would give (saturated at the limits of long); the caller narrows
// it as the conversion it stands for does.
Scan scanInteger(std::FILE *stream, long &value);

// A hexadecimal integer ("%x"): optional sign, optional 0x, hex digits.
Scan scanHex(std::FILE *stream, unsigned long &value);

// A real ("%lf", "%lg"): decimal, hexadecimal, inf, infinity or nan, each
// with an optional sign; converted by strtod.  Numbers written with more
// than kLongestNumber characters are refused as Bad.
Scan scanReal(std::FILE *stream, double &value);

// The same scans over any source of record_source.h (instantiated for
// StreamSource and FileWindow), and the quoted-string rule of rscanf().
template <class Source>
Scan scanWord(Source &source, char *buffer, std::size_t size);
template <class Source>
Scan scanInteger(Source &source, long &value);
template <class Source>
Scan scanHex(Source &source, unsigned long &value);
template <class Source>
Scan scanReal(Source &source, double &value);
template <class Source>
int readQuoted(Source &source, char *buffer, int length);

}  // namespace treekeep

#endif
