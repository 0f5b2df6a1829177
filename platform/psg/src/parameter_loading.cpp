#include "parameter_loading.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "psgparam.h"
#include "run_state.h"
#include "treekeep_files.h"

namespace psg {
namespace {

int reported = 0;

void prefixed(const char *text, void *)
{
    ++reported;
    std::fprintf(stderr, "%s: %s", program_name(), text);
}

// The loaders accept a file cut short after a count as a normal end, so only
// a check of the bytes tells a damaged file from a whole one; a run on a
// damaged file would quietly use whatever the cut left.
bool passes_strict_check(const char *path)
{
    P_filecheck check{};
    int error = 0;
    const int verdict = P_checkfile(path, 0, &check, &error);
    if (verdict < 0) {
        std::fprintf(stderr, "%s: %s: %s\n", program_name(), path, P_checkfailure(verdict, error));
        return false;
    }
    for (std::size_t i = 0; i < check.problemCount; ++i)
        std::fprintf(stderr, "%s: %s:%ld: record %ld: %s\n", program_name(), path,
                     check.problems[i].line, check.problems[i].record, check.problems[i].text);
    P_freecheck(&check);
    return verdict == P_CHECK_WHOLE;
}

bool fail(const char *path, const char *why)
{
    std::fprintf(stderr, "%s: %s: %s\n", program_name(), path, why);
    return false;
}

} // namespace

void install_message_prefix()
{
    psgparam_set_reporter(&prefixed, nullptr);
}

int messages_reported()
{
    return reported;
}

bool load_parameter_file(int tree, const char *path)
{
    struct stat info;
    if (::stat(path, &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return fail(path, std::strerror(EISDIR));
        if (S_ISREG(info.st_mode) && info.st_size == 0)
            return fail(path, "empty parameter file");
    }
    if (!passes_strict_check(path))
        return false;
    int before = reported;
    int code = psgparam_load(tree, path);
    if (code == 0 && reported != before) // the store's words may not name the file
        return fail(path, "the parameter file did not load cleanly; nothing was run");
    return code == 0;
}

} // namespace psg
