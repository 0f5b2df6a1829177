#include "lock_checks.h"

#include <cstdint>
#include <cstring>

#include "hostenv.h"
#include "synthcalc.h"
#include "tool_streams.h"

namespace psenv {

AbortCatcher::AbortCatcher()
{
    abort_message_set_hook(&AbortCatcher::keep, this);
}

AbortCatcher::~AbortCatcher()
{
    abort_message_set_hook(nullptr, nullptr);
}

void AbortCatcher::keep(const char *text, void *context)
{
    auto *catcher = static_cast<AbortCatcher *>(context);
    if (catcher->message_.empty())
        catcher->message_ = text;
}

std::string lock_table_path()
{
    return std::string(systemdir) + LOCKFREQTAB_SUFFIX;
}

std::string lock_table_problem(int key, int &reason)
{
    reason = 0;
    const std::string path = lock_table_path();
    AbortCatcher aborts;
    double synthif = 0.0;
    double lockref = 0.0;
    char sense[2] = {'\0', '\0'};
    if (lockfreqtab_read(path.c_str(), key, &synthif, sense, &lockref) == 0)
        return {};
    if (!aborts.message().empty())
        return "'" + path + "': " + aborts.message();
    reason = unreadable(path);
    if (reason != 0)
        return "cannot open the lock-frequency table '" + path + "': " + std::strerror(reason);
    return "no row for key " + std::to_string(key) + " in '" + path + "'";
}

// The offset travels to the synthesizer as the two halves of its double;
// putting them together again gives the offset itself.
double lock_offset(double lockfreq, int key)
{
    int words[2] = {0, 0};
    getlkfreqDDsi(lockfreq, key, words);
    const std::uint64_t bits = (std::uint64_t{static_cast<std::uint32_t>(words[0])} << 32) |
                               static_cast<std::uint32_t>(words[1]);
    double offset = 0.0;
    std::memcpy(&offset, &bits, sizeof offset);
    return offset;
}

// The module clamps a word beyond 32 bits to the range's end, which would
// pass for an answer.  The figures before the truncation, as the module
// forms them.
bool lock_word_fits(bool ardel, double lockfreq, int key)
{
    constexpr long double kLimit = 2147483648.0L;
    if (ardel) {
        const long double steps = static_cast<long double>(lock_offset(lockfreq, key)) * 16777216.0L + 0.5L;
        return steps < kLimit;
    }
    const int n = key == 300 ? 23 : key == 400 ? 33 : 1;
    const int m = key == 300 || key == 400 ? 13 : 1;
    const long double word =
        ((-20.0L * n) / m + lockfreq) * 1000000.0L * 107.3741824L;
    return word < kLimit && word > -kLimit - 1.0L;
}

}  // namespace psenv
