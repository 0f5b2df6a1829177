#include "lock/lock_checks.h"

#include <cstdint>
#include <cstring>

#include "hostenv.h"
#include "synthcalc.h"
#include "core/streams.h"

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

}  // namespace psenv
