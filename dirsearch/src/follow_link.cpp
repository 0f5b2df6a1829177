// Resolution of a chain of symbolic links.
#include "dirsearch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string>

namespace {

int deliver(const std::string &path, char *result, int size)
{
    if (path.size() >= static_cast<std::size_t>(size))
        return -1;
    std::memcpy(result, path.c_str(), path.size() + 1);
    return 0;
}

// The target takes the place of what follows the last "/" of the working
// path (the whole path when there is none, or when the target is absolute).
bool splice(std::string &working, const char *target)
{
    std::string next;
    const std::size_t slash = working.rfind('/');
    if (target[0] != '/' && slash != std::string::npos)
        next = working.substr(0, slash + 1);
    next.append(target);
    if (next.size() > DIRSEARCH_MAX_LINK_PATH)
        return false;
    working.swap(next);
    return true;
}

}  // namespace

extern "C" int follow_link(const char *path, char *result, int size)
{
    if (path == nullptr || result == nullptr || size <= 0)
        return -1;
    const std::size_t length = std::strlen(path);
    if (length == 0 || length > DIRSEARCH_MAX_LINK_PATH)
        return -1;

    std::string working(path, length);
    for (int links = 0;; ++links) {
        struct stat info {};
        if (lstat(working.c_str(), &info) != 0)
            return errno == ENOENT ? deliver(working, result, size) : -1;
        if (!S_ISLNK(info.st_mode))
            return deliver(working, result, size);
        if (links == DIRSEARCH_MAX_LINKS)
            return -1;  // a cycle, or a chain longer than the system follows

        char target[DIRSEARCH_MAX_LINK_PATH + 1];
        const ssize_t got = readlink(working.c_str(), target, DIRSEARCH_MAX_LINK_PATH);
        if (got <= 0)
            return -1;
        target[got] = '\0';
        if (!splice(working, target))
            return -1;
    }
}
