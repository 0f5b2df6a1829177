// The parameter files' hand-written token scans against stdio's fscanf on the
// same bytes.  Two streams over one input take the same sequence of scans;
// after each, both must have converted the same value (reals bit for bit)
// and left the same characters unread.  A scan that converts nothing must
// fail on both sides.
//
// The same scans also read the input through a FileWindow (as the loaders
// that open the file themselves do), whose size the top two bits of the
// plan choose: windows of a few bytes split tokens everywhere, large ones
// take the whole-token paths.
//
// Input: four bytes choosing the scan sequence (ten scans of three bits,
// repeated) and the window, then the stream.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "fuzz_support.h"
#include "record_scanner.h"
#include "treekeep_internal.h"

namespace {

using treekeep::Scan;

enum class Outcome { Converted, Failed };

// fscanf's answer: 1 converted; 0 a matching failure; EOF an input failure.
Outcome of_stdio(int converted)
{
    return converted == 1 ? Outcome::Converted : Outcome::Failed;
}

Outcome of_scan(Scan scan)
{
    return scan == Scan::Ok || scan == Scan::TooLong ? Outcome::Converted : Outcome::Failed;
}

void compare(Scan mine, int theirs, long here, std::FILE *b, const char *what)
{
    if (of_scan(mine) != of_stdio(theirs)) {
        std::fprintf(stderr, "%s: scan %d, fscanf %d\n", what, static_cast<int>(mine), theirs);
        fuzz::fail("scan and fscanf disagree on success");
    }
    // End of file must be told the same way.  fscanf calls it an input
    // failure (EOF) when the file ends before a token or inside its sign;
    // the scans also call a token cut short by the end of the file (".",
    // "0x", "1e") the end, where fscanf reports a matching failure.
    if (theirs == EOF)
        fuzz::check(mine == Scan::End, "fscanf met the end of the file, the scan did not");
    if (mine == Scan::End)
        fuzz::check(theirs == EOF || std::feof(b), "the scan says end of file, fscanf does not");
    const long there = std::ftell(b);
    if (here != there) {
        std::fprintf(stderr, "%s: scan at %ld, fscanf at %ld\n", what, here, there);
        fuzz::fail("scan and fscanf stop at different characters");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::silence_messages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 5)
        return 0;
    std::uint32_t plan = 0;
    std::memcpy(&plan, data, 4);
    std::vector<char> bytes(data + 4, data + size);
    std::FILE *a = fmemopen(bytes.data(), bytes.size(), "r");
    std::FILE *b = fmemopen(bytes.data(), bytes.size(), "r");
    fuzz::check(a != nullptr && b != nullptr, "fmemopen failed");
    static const std::string path = fuzz::scratch("scanner_window");
    fuzz::write_file(path, data + 4, size - 4);
    const int fd = open(path.c_str(), O_RDONLY);
    fuzz::check(fd >= 0, "cannot open the scratch file");
    constexpr std::size_t kWindows[] = {1, 3, 16, 4096};
    treekeep::StreamSource stream(a);
    treekeep::FileWindow window(fd, kWindows[plan >> 30]);

    for (int step = 0; step < 400 && !(std::feof(a) && std::feof(b)); ++step) {
        switch ((plan >> (3 * (step % 10))) & 7) {
        case 0:
        case 5: {
            char mine[TREEKEEP_NAME_BUFFER];
            char windowed[TREEKEEP_NAME_BUFFER];
            char theirs[TREEKEEP_NAME_BUFFER];
            const Scan scan = treekeep::scanWord(stream, mine, sizeof mine);
            const Scan scanned = treekeep::scanWord(window, windowed, sizeof windowed);
            const int got = std::fscanf(b, "%255s", theirs);
            compare(scan, got, std::ftell(a), b, "word");
            compare(scanned, got, window.consumed(), b, "word (window)");
            if (got == 1)
                fuzz::check(std::strcmp(mine, theirs) == 0 && std::strcmp(windowed, theirs) == 0,
                            "words differ");
            break;
        }
        case 1:
        case 6: {
            long mine = 0;
            long windowed = 0;
            long theirs = 0;
            const Scan scan = treekeep::scanInteger(stream, mine);
            const Scan scanned = treekeep::scanInteger(window, windowed);
            const int got = std::fscanf(b, "%ld", &theirs);
            compare(scan, got, std::ftell(a), b, "integer");
            compare(scanned, got, window.consumed(), b, "integer (window)");
            if (got == 1)
                fuzz::check(mine == theirs && windowed == theirs, "integers differ");
            break;
        }
        case 2: {
            unsigned long mine = 0;
            unsigned long windowed = 0;
            unsigned long theirs = 0;
            const Scan scan = treekeep::scanHex(stream, mine);
            const Scan scanned = treekeep::scanHex(window, windowed);
            const int got = std::fscanf(b, "%lx", &theirs);
            compare(scan, got, std::ftell(a), b, "hexadecimal");
            compare(scanned, got, window.consumed(), b, "hexadecimal (window)");
            if (got == 1)
                fuzz::check(mine == theirs && windowed == theirs, "hexadecimal integers differ");
            break;
        }
        case 3:
        case 7: {
            double mine = 0;
            double windowed = 0;
            double theirs = 0;
            const Scan scan = treekeep::scanReal(stream, mine);
            const Scan scanned = treekeep::scanReal(window, windowed);
            const int got = std::fscanf(b, "%lf", &theirs);
            compare(scan, got, std::ftell(a), b, "real");
            compare(scanned, got, window.consumed(), b, "real (window)");
            if (got == 1)
                fuzz::check(std::memcmp(&mine, &theirs, sizeof mine) == 0 &&
                                std::memcmp(&windowed, &theirs, sizeof windowed) == 0,
                            "reals differ");
            break;
        }
        default: {
            // The loaders mix quoted strings in; every reader moves alike.
            char text[TREEKEEP_STRING_BUFFER];
            char windowed[TREEKEEP_STRING_BUFFER];
            const int mine = rscanf(a, text, sizeof text);
            const int read = treekeep::readQuoted(window, windowed, sizeof windowed);
            fuzz::check(read == mine && window.consumed() == std::ftell(a) &&
                            (mine < 0 || std::strcmp(text, windowed) == 0),
                        "the window's quoted string differs");
            const int theirs = rscanf(b, text, sizeof text);
            fuzz::check(mine == theirs && std::ftell(a) == std::ftell(b), "rscanf moved unevenly");
            break;
        }
        }
    }
    close(fd);
    std::fclose(a);
    std::fclose(b);
    return 0;
}
