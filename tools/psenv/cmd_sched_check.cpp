// psenv sched check: the schedule file read strictly.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "cmd_sched_plan.h"
#include "schedule_check.h"

namespace psenv::sched {
namespace {

constexpr const char *kCommand = "sched check";

void print_help()
{
    std::puts("Usage: psenv sched check FILE [--ni N[,N2...] | --params FILE]\n\n"
              "Reads the schedule file FILE strictly and reports, with line numbers,\n"
              "every row that the sampling module reads only because its reader is\n"
              "lenient: blank lines (they repeat the previous row), rows with fewer\n"
              "columns than the first (the missing entries repeat the previous row's)\n"
              "or more (the extra ones are ignored), text that is no integer (ignored\n"
              "with the rest of the line), lines longer than 255 characters (the rest\n"
              "is read as a row of its own); and rows that repeat an earlier row.  With\n"
              "the grid known (--ni, or the ni parameters of --params), entries outside\n"
              "0..ni-1 and a column count unlike the grid's are reported too.\n\n"
              "  --ni N[,N2...]  increments per dimension\n"
              "  --params FILE   a parameter file holding ni, ni2, ...\n\n"
              "Exit status: 0 no problem found, 1 problems found (or the file cannot be\n"
              "read), 2 usage error.");
}

struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};

std::optional<plan::CheckReport> check_file(const std::string &path, const std::vector<int> &ni)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "r"));
    if (!file) {
        error("cannot open schedule file '" + path + "': " + std::strerror(errno));
        return std::nullopt;
    }
    struct stat info;
    if (::fstat(::fileno(file.get()), &info) == 0 && S_ISDIR(info.st_mode)) {
        error("cannot open schedule file '" + path + "': " + std::strerror(EISDIR));
        return std::nullopt;
    }
    return plan::check_schedule(file.get(), ni);
}

}  // namespace

int warn_about_schedule(const std::string &path, const std::vector<int> &ni)
{
    // Only a regular file is read twice: a FIFO would lose its rows to the
    // warnings, and the reader that follows says why anything else fails.
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "r"));
    if (!file)
        return 0;
    const plan::CheckReport report = plan::check_schedule(file.get(), ni);
    for (const auto &finding : report.findings)
        error("warning: " + path + ":" + std::to_string(finding.line) + ": " + finding.text);
    return static_cast<int>(report.findings.size());
}

int check(int argc, char **argv)
{
    int status = kExitOk;
    auto args = parse_command(argc, argv, 1, {{"help", false}, {"ni", true}, {"params", true}},
                              kCommand, print_help, status);
    if (!args)
        return status;
    if (args->operands.size() != 1)
        return usage_error("sched check needs exactly one schedule file", kCommand);
    const auto ni = grid_option(*args, kCommand, status);
    if (!ni)
        return status;
    const std::string &path = args->operands.front();
    const auto report = check_file(path, *ni);
    if (!report)
        return kExitFailure;
    for (const auto &finding : report->findings)
        std::printf("%s:%ld: %s\n", path.c_str(), finding.line, finding.text.c_str());
    const std::size_t problems = report->findings.size();
    std::printf("%s: %ld row%s, %d column%s, %s\n", path.c_str(), report->rows,
                report->rows == 1 ? "" : "s", report->columns, report->columns == 1 ? "" : "s",
                problems == 0 ? "no problems found"
                              : (std::to_string(problems) + " problem" + (problems == 1 ? "" : "s")).c_str());
    return problems == 0 ? kExitOk : kExitFailure;
}

}  // namespace psenv::sched
