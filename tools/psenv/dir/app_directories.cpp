#include "dir/app_directories.h"

#include <cstdio>
#include <cstdlib>

#include "dirsearch.h"

namespace psenv::dir {
namespace {

// The module keeps a pointer to the list, which must outlive every search.
std::string appdir_list;

}  // namespace

int use_appdirs(const Call &call)
{
    if (auto given = call.args.get("appdirs"))
        appdir_list = *given;
    else if (const char *from_environment = std::getenv("PSENV_APPDIRS"))
        appdir_list = from_environment;
    else
        return call.usage("no application directories: give --appdirs or set PSENV_APPDIRS");
    setAppdirValue(appdir_list.c_str());
    return kExitOk;
}

int report_found(int entry, const char *path, const std::string &name)
{
    if (entry == 0) {
        error("'" + name + "' not found in the application directories");
        return kExitFailure;
    }
    std::printf("%s\t%d\n", path, entry);
    return kExitOk;
}

}  // namespace psenv::dir
