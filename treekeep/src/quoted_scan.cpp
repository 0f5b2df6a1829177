// The quoted strings of parameter files, read the way rscanf() always has:
// everything up to the first double quote is skipped, a backslash takes the
// next character as it is, and a string too long for the buffer is cut and
// its rest skipped.
#include "record_scanner.h"

#include <cstdio>
#include <cstring>
#include <type_traits>

#include "errsink.h"
#include "treekeep_internal.h"

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

template int readQuoted<StreamSource>(StreamSource &, char *, int);
template int readQuoted<FileWindow>(FileWindow &, char *, int);

}  // namespace treekeep

extern "C" int rscanf(FILE *file, char *buffer, int length)
{
    if (file == nullptr || buffer == nullptr || length < 1)
        return -1;
    treekeep::StreamSource source(file);
    return treekeep::readQuoted(source, buffer, length);
}
