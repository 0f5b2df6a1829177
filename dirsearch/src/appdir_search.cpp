// The application directory list and the searches over it.
#include "dirsearch.h"

#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// The caller owns the text; only the reference is kept.
const char *appdir_list = nullptr;

// Calls visit(entry, number) for every non-empty ";"-separated entry, in
// order, numbering from 1, until visit returns true.  Works on the caller's
// text through views, so the list is never copied, cut or modified.
template <typename Visit>
int for_each_entry(std::string_view list, Visit visit)
{
    int number = 0;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(';', start);
        if (end == std::string_view::npos)
            end = list.size();
        std::string_view entry = list.substr(start, end - start);
        if (!entry.empty()) {
            ++number;
            if (visit(entry, number))
                return number;
        }
        start = end + 1;
    }
    return 0;
}

// A candidate that would not fit the 256-byte result counts as absent.
bool accessible(const std::string &candidate, int mode)
{
    return candidate.size() <= DIRSEARCH_MAX_CANDIDATE && access(candidate.c_str(), mode) == 0;
}

void deliver(const std::string &candidate, char *result)
{
    if (result != nullptr)
        std::memcpy(result, candidate.c_str(), candidate.size() + 1);
}

}  // namespace

extern "C" const char *setAppdirValue(const char *list)
{
    appdir_list = list;
    return list;
}

extern "C" const char *getAppdirValue(void) { return appdir_list; }

extern "C" int appdirFind(const char *name, const char *subdir, char *result, const char *suffix,
                          int mode)
{
    if (appdir_list == nullptr || name == nullptr || subdir == nullptr)
        return 0;
    const bool with_suffix = suffix != nullptr && *suffix != '\0';
    return for_each_entry(appdir_list, [&](std::string_view entry, int) {
        std::string candidate(entry);
        candidate.append("/").append(subdir).append("/").append(name);
        if (accessible(candidate, mode)) {
            deliver(candidate, result);
            return true;
        }
        if (with_suffix) {
            candidate.append(suffix);
            if (accessible(candidate, mode)) {
                deliver(candidate, result);
                return true;
            }
        }
        return false;
    });
}

extern "C" int appdirAccess(const char *name, char *result)
{
    if (appdir_list == nullptr || name == nullptr)
        return 0;
    return for_each_entry(appdir_list, [&](std::string_view entry, int) {
        std::string candidate(entry);
        candidate.append("/").append(name);
        if (!accessible(candidate, R_OK | W_OK | X_OK))
            return false;
        deliver(candidate, result);
        return true;
    });
}
