// Free-space tests.  All block arithmetic is unsigned, as the file system
// reports its figures.
#include "dirsearch.h"

#include <cstdio>
#include <string>

#include "fs_seam.h"

namespace {

using Blocks = unsigned long long;

constexpr Blocks kDefaultThreshold = 10;
constexpr Blocks kMinimumEstimate = 10;
constexpr Blocks kEstimateShare = 1000;  // a missing file is guessed at 1/1000 of the disk

bool examine(const char *path, const char *complaint, struct statvfs &figures)
{
    if (dirsearch_fs()->statvfs_call(path, &figures) == 0)
        return true;
    std::perror((std::string(complaint) + path).c_str());
    return false;
}

}  // namespace

extern "C" int isDiskFullSize(const char *path, unsigned int threshold, int *full)
{
    if (full == nullptr || path == nullptr)
        return -1;
    struct statvfs figures {};
    if (!examine(path, "Problem with ", figures))
        return -1;
    const Blocks limit = threshold == 0 ? kDefaultThreshold : threshold;
    *full = Blocks{figures.f_bavail} <= limit ? 1 : 0;
    return 0;
}

extern "C" int isDiskFullFile(const char *path, const char *file, int *full)
{
    if (full == nullptr || path == nullptr)
        return -1;
    struct statvfs figures {};
    if (!examine(path, "Cannot access ", figures))
        return -1;

    Blocks need = 0;
    struct stat info {};
    if (file != nullptr && dirsearch_fs()->stat_call(file, &info) == 0) {
        need = static_cast<Blocks>(info.st_blocks);
    } else {
        need = Blocks{figures.f_blocks} / kEstimateShare;
        if (need < kMinimumEstimate)
            need = kMinimumEstimate;
    }
    Blocks divisor = Blocks{figures.f_bsize} / 512;
    if (divisor == 0)
        divisor = 1;
    *full = Blocks{figures.f_bavail} <= need / divisor ? 1 : 0;
    return 0;
}
