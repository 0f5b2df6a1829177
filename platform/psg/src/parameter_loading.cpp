#include "parameter_loading.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "parfile_check.h"

#include "psgparam.h"
#include "run_state.h"

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
    std::vector<psenv::ParfileProblem> problems;
    std::string failure;
    if (!psenv::check_parfile(path, problems, failure)) {
        std::fprintf(stderr, "%s: %s: %s\n", program_name(), path, failure.c_str());
        return false;
    }
    for (const psenv::ParfileProblem &problem : problems)
        std::fprintf(stderr, "%s: %s:%ld: record %ld: %s\n", program_name(), path, problem.line,
                     problem.record, problem.message.c_str());
    return problems.empty();
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
