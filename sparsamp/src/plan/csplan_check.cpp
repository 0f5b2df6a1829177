// csplan_check_schedule: the strict reading of a schedule file behind the C
// interface, its findings handed over as one block the caller releases.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "c_interface.h"
#include "schedule_check.h"

namespace {

struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};

// The problem entries followed by their texts, in one allocation: a single
// free() releases the list.
csplan_problem *problem_block(const std::vector<psenv::plan::Finding> &findings)
{
    std::size_t bytes = findings.size() * sizeof(csplan_problem);
    for (const auto &finding : findings)
        bytes += finding.text.size() + 1;
    auto *block = static_cast<csplan_problem *>(std::malloc(bytes == 0 ? 1 : bytes));
    if (block == nullptr)
        return nullptr;
    char *text = reinterpret_cast<char *>(block + findings.size());
    for (std::size_t i = 0; i < findings.size(); ++i) {
        std::memcpy(text, findings[i].text.c_str(), findings[i].text.size() + 1);
        block[i] = {findings[i].line, text};
        text += findings[i].text.size() + 1;
    }
    return block;
}

}  // namespace

extern "C" int csplan_check_schedule(const char *path, const int *ni, int dimensions,
                                     csplan_check_report *report, int *error_out)
{
    if (error_out != nullptr)
        *error_out = 0;
    if (report != nullptr)
        *report = csplan_check_report{};
    return psenv::plan::guarded([&] {
        if (path == nullptr || report == nullptr || dimensions < 0 ||
            dimensions > CSPLAN_MAX_DIMS || (dimensions > 0 && ni == nullptr))
            return CSPLAN_EINVAL;
        const std::vector<int> grid(ni, ni + dimensions);
        for (const int n : grid)
            if (n < 1)
                return CSPLAN_EINVAL;
        std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "r"));
        int failure = file ? 0 : errno;
        struct stat info;
        if (file && ::fstat(::fileno(file.get()), &info) == 0 && S_ISDIR(info.st_mode))
            failure = EISDIR;
        if (failure != 0) {
            if (error_out != nullptr)
                *error_out = failure;
            return CSPLAN_EIO;
        }
        const psenv::plan::CheckReport found = psenv::plan::check_schedule(file.get(), grid);
        csplan_problem *problems = problem_block(found.findings);
        if (problems == nullptr)
            return CSPLAN_ENOMEM;
        report->problems = problems;
        report->count = found.findings.size();
        report->rows = found.rows;
        report->columns = found.columns;
        report->readable = found.readable ? 1 : 0;
        return CSPLAN_OK;
    });
}

extern "C" void csplan_free_check_report(csplan_check_report *report)
{
    if (report == nullptr)
        return;
    std::free(report->problems);
    *report = csplan_check_report{};
}
