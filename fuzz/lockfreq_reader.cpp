// lockfreqtab_read on arbitrary table files, with abort_message hooked so
// that a table error returns.  The answer, the fields delivered, the sense
// left behind and the number of table errors are checked against a
// transcription of the table's line rules.  The sense buffer is exactly two
// bytes, so that a longer sense field written into it is caught.
//
// Input: two bytes giving the key (a signed 16-bit number), then the table.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "hostenv.h"
#include "synthcalc.h"

namespace {

int aborts = 0;

struct Expected {
    int result = -1;
    double synthif = 0, lockref = 0;
    char sense = '\0';
    bool sense_written = false;
    int aborts = 0;
};

// The rules: lines end at a newline, of which at most 255 characters are
// kept; a kept line ending in carriage return and newline loses both; a
// last line without newline is never looked at; "#" first is a comment, a
// line of only its newline (or nothing after the carriage return is
// dropped) is passed over; every other line scans as "%d %lf %1s %lf" or
// is a table error.
// The four fields by strtol/strtod, which is how "%d %lf %1s %lf" reads a
// well-formed row.  stdio also swallows a dangling exponent ("1e-") or a
// bare "0x" as part of a number, which strtod leaves standing; rows where
// the two readings part are malformed numbers whose field count no rule
// fixes, and the harness then checks only that nothing breaks.
int strtod_fields(const char *text, char sense[2])
{
    char *end = nullptr;
    std::strtol(text, &end, 10);
    if (end == text)
        return 0;
    text = end;
    std::strtod(text, &end);
    if (end == text)
        return 1;
    text = end;
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    if (*text == '\0')
        return 2;
    sense[0] = *text++;
    std::strtod(text, &end);
    return end == text ? 3 : 4;
}

// The rules: lines end at a newline, of which at most 255 characters are
// kept; a kept line ending in carriage return and newline loses both; a
// last line without newline is never looked at; "#" first is a comment, a
// line of only its newline (or nothing after the carriage return is
// dropped) is passed over; every other line scans as "%d %lf %1s %lf" or
// is a table error.
Expected expected_lookup(const std::string &table, int key, bool &ambiguous)
{
    Expected want;
    ambiguous = false;
    std::size_t at = 0;
    while (true) {
        const std::size_t newline = table.find('\n', at);
        if (newline == std::string::npos)
            return want;
        std::string line = table.substr(at, newline + 1 - at);
        at = newline + 1;
        if (line.size() > LOCKFREQTAB_LINE_MAX)
            line.resize(LOCKFREQTAB_LINE_MAX);
        if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0)
            line.resize(line.size() - 2);
        if (line == "\n" || line.empty() || line[0] == '#')
            continue;
        long row_key = 0;
        double synthif = 0, lockref = 0;
        char sense[2] = "";
        const int fields = std::sscanf(line.c_str(), "%ld %lf %1s %lf", &row_key, &synthif,
                                       sense, &lockref);
        char other_sense[2] = "";
        if (strtod_fields(line.c_str(), other_sense) != std::max(fields, 0) ||
            (fields >= 3 && other_sense[0] != sense[0]))
            ambiguous = true;
        if (fields >= 3) {
            want.sense = sense[0];
            want.sense_written = true;
        }
        if (fields != 4) {
            want.aborts = 1;
            return want;
        }
        if (row_key == key && (sense[0] == '+' || sense[0] == '-')) {
            want.result = 0;
            want.synthif = synthif;
            want.lockref = lockref;
            return want;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    abort_message_set_hook([](const char *text, void *) {
        fuzz::check(std::strcmp(text, "PSG: Error in lockfreqtab file.") == 0,
                    "unexpected abort message");
        ++aborts;
    }, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int key = static_cast<std::int16_t>(data[0] | data[1] << 8);
    static const std::string path = fuzz::scratch("lockfreqtab");
    fuzz::write_file(path, data + 2, size - 2);
    const std::string table(reinterpret_cast<const char *>(data + 2), size - 2);

    std::vector<char> sense(2, '?');
    double synthif = 12345.0;
    double lockref = 54321.0;
    aborts = 0;
    const int result = lockfreqtab_read(path.c_str(), key, &synthif, sense.data(), &lockref);
    bool ambiguous = false;
    const Expected want = expected_lookup(table, key, ambiguous);
    if (ambiguous)
        return 0;

    fuzz::check(result == want.result, "lockfreqtab_read answer differs from the rules");
    fuzz::check(aborts == want.aborts, "table errors differ from the rules");
    if (result == 0) {
        fuzz::check(std::memcmp(&synthif, &want.synthif, sizeof synthif) == 0 &&
                        std::memcmp(&lockref, &want.lockref, sizeof lockref) == 0,
                    "row fields differ from the rules");
    } else {
        fuzz::check(synthif == 12345.0 && lockref == 54321.0, "fields written without a row");
    }
    if (want.sense_written)
        fuzz::check(sense[0] == want.sense && sense[1] == '\0', "sense differs from the rules");
    else
        fuzz::check(sense[0] == '?' && sense[1] == '?', "sense written without a row");
    return 0;
}
