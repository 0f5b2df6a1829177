// The parameter files' hand-written token scans against stdio's fscanf on the
// same bytes.  Two streams over one input take the same sequence of scans;
// after each, both must have converted the same value (reals bit for bit)
// and left the same characters unread.  A scan that converts nothing must
// fail on both sides.
//
// Input: four bytes choosing the scan sequence (ten scans of three bits,
// repeated), then the stream.
#include <cstdint>
#include <cstdio>
#include <cstring>
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

void compare(Scan mine, int theirs, std::FILE *a, std::FILE *b, const char *what)
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
    const long here = std::ftell(a);
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

    for (int step = 0; step < 400 && !(std::feof(a) && std::feof(b)); ++step) {
        switch ((plan >> (3 * (step % 10))) & 7) {
        case 0:
        case 5: {
            char mine[TREEKEEP_NAME_BUFFER];
            char theirs[TREEKEEP_NAME_BUFFER];
            const Scan scan = treekeep::scanWord(a, mine, sizeof mine);
            const int got = std::fscanf(b, "%255s", theirs);
            compare(scan, got, a, b, "word");
            if (got == 1)
                fuzz::check(std::strcmp(mine, theirs) == 0, "words differ");
            break;
        }
        case 1:
        case 6: {
            long mine = 0;
            long theirs = 0;
            const Scan scan = treekeep::scanInteger(a, mine);
            const int got = std::fscanf(b, "%ld", &theirs);
            compare(scan, got, a, b, "integer");
            if (got == 1)
                fuzz::check(mine == theirs, "integers differ");
            break;
        }
        case 2: {
            unsigned long mine = 0;
            unsigned long theirs = 0;
            const Scan scan = treekeep::scanHex(a, mine);
            const int got = std::fscanf(b, "%lx", &theirs);
            compare(scan, got, a, b, "hexadecimal");
            if (got == 1)
                fuzz::check(mine == theirs, "hexadecimal integers differ");
            break;
        }
        case 3:
        case 7: {
            double mine = 0;
            double theirs = 0;
            const Scan scan = treekeep::scanReal(a, mine);
            const int got = std::fscanf(b, "%lf", &theirs);
            compare(scan, got, a, b, "real");
            if (got == 1)
                fuzz::check(std::memcmp(&mine, &theirs, sizeof mine) == 0, "reals differ");
            break;
        }
        default: {
            // The loaders mix quoted strings in; both streams move alike.
            char text[TREEKEEP_STRING_BUFFER];
            const int mine = rscanf(a, text, sizeof text);
            const int theirs = rscanf(b, text, sizeof text);
            fuzz::check(mine == theirs && std::ftell(a) == std::ftell(b), "rscanf moved unevenly");
            break;
        }
        }
    }
    std::fclose(a);
    std::fclose(b);
    return 0;
}
