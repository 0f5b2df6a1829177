// The lock-frequency table reader on arbitrary table files.  The first two
// bytes choose the key; the rest is the file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "hostenv.h"
#include "synthcalc.h"

namespace {

void ignore_abort(const char *, void *) {}

const std::string &table_file()
{
    static const std::string path = [] {
        std::string pattern = "/tmp/lockfreqtab-fuzz-XXXXXX";
        const int fd = mkstemp(pattern.data());
        if (fd < 0)
            std::abort();
        close(fd);
        return pattern;
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    abort_message_set_hook(ignore_abort, nullptr);
    const int key = 100 * (data[0] % 10) + data[1];
    std::FILE *file = std::fopen(table_file().c_str(), "wb");
    if (file == nullptr)
        return 0;
    std::fwrite(data + 2, 1, size - 2, file);
    std::fclose(file);

    double synthif = 0.0;
    double lockref = 0.0;
    char sense[2] = {'\0', '\0'};
    const int status = lockfreqtab_read(table_file().c_str(), key, &synthif, sense, &lockref);
    if (status == 0 && sense[0] != '+' && sense[0] != '-')
        std::abort();  // a row is only ever found with a usable sense
    if (sense[1] != '\0')
        std::abort();
    return 0;
}
