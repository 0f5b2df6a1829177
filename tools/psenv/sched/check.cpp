// psenv sched check: the schedule file read strictly.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

#include "core/command.h"
#include "sched/grid.h"
#include "sched/schedule.h"
#include "sparsamp_plan_options.h"

namespace psenv::sched {
namespace {

// The findings of the strict reading, released when it goes.
struct Report {
    csplan_check_report report{};
    Report() = default;
    Report(const Report &) = delete;
    Report &operator=(const Report &) = delete;
    ~Report() { csplan_free_check_report(&report); }
};

// Reads `path` strictly into `report`; returns the result code and, for
// CSPLAN_EIO, the errno value in `failure`.
int check_file(const std::string &path, const std::vector<int> &ni, Report &report, int &failure)
{
    return csplan_check_schedule(path.c_str(), ni.data(), static_cast<int>(ni.size()),
                                 &report.report, &failure);
}

// The findings listed before the rest are only counted.
constexpr std::size_t kMostListed = CSPLAN_MOST_WARNINGS;

// The grid reordered when every row of `path` lies outside the grid `ni` but
// inside it in another order (a grid given transposed); else nothing.
std::optional<std::vector<int>> transposed_grid(const std::string &path, const std::vector<int> &ni,
                                                const csplan_check_report &report)
{
    if (ni.empty() || report.count == 0 || report.readable == 0 ||
        report.columns != static_cast<int>(ni.size()))
        return std::nullopt;
    Schedule schedule;
    if (load_schedule(path, schedule) != kExitOk)
        return std::nullopt;
    const std::vector<int> rows = schedule.row_major();
    csplan_grid grid{};
    grid.dimensions = static_cast<int>(ni.size());
    std::copy(ni.begin(), ni.end(), grid.ni);
    csplan_grid fits{};
    if (csplan_transposed(&grid, rows.data(), static_cast<std::int64_t>(schedule.rows()),
                          grid.dimensions, &fits) != 1)
        return std::nullopt;
    return std::vector<int>(fits.ni, fits.ni + fits.dimensions);
}

std::string grid_text(const std::vector<int> &ni)
{
    std::string text;
    for (std::size_t k = 0; k < ni.size(); ++k)
        text += (k ? "," : "") + std::to_string(ni[k]);
    return text;
}

std::string transposed_text(const std::vector<int> &given, const std::vector<int> &fits)
{
    return "every row fits the grid " + grid_text(fits) + " but not " + grid_text(given) +
           ": the grid was given in another order (transposed)?";
}

}  // namespace

int warn_about_schedule(const std::string &path, const std::vector<int> &ni)
{
    // Only a regular file is read twice: a FIFO would lose its rows to the
    // warnings, and the reader that follows says why anything else fails.
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return 0;
    Report report;
    int failure = 0;
    if (check_file(path, ni, report, failure) != CSPLAN_OK)
        return 0;
    const std::size_t count = report.report.count;
    for (std::size_t i = 0; i < csplan_warning_count(&report.report); ++i) {
        std::vector<char> text(path.size() + 64 +
                               (i < count ? std::strlen(report.report.problems[i].text) : 0));
        if (csplan_warning_text(path.c_str(), &report.report, i, text.data(), text.size()) ==
            CSPLAN_OK)
            error(std::string("warning: ") + text.data());
    }
    if (const auto fits = transposed_grid(path, ni, report.report))
        error("warning: " + path + ": " + transposed_text(ni, *fits));
    return static_cast<int>(count);
}

namespace {

int run(const Call &call)
{
    const Args &args = call.args;
    if (args.operands.size() != 1)
        return call.usage("sched check needs exactly one schedule file");
    std::vector<int> ni;
    if (const int status = grid_option(call, ni); status != kExitOk)
        return status;
    const std::string &path = args.operands.front();
    Report checked;
    int failure = 0;
    if (const int code = check_file(path, ni, checked, failure); code != CSPLAN_OK) {
        error("cannot open schedule file '" + path + "': " +
              (code == CSPLAN_EIO ? std::strerror(failure) : csplan_strerror(code)));
        return kExitFailure;
    }
    const csplan_check_report &report = checked.report;
    const std::size_t problems = report.count;
    const bool everything = args.has("all");
    for (std::size_t i = 0; i < problems && (everything || i < kMostListed); ++i)
        std::printf("%s:%ld: %s\n", path.c_str(), report.problems[i].line, report.problems[i].text);
    if (!everything && problems > kMostListed)
        std::printf("%s: ... and %zu more problems (--all lists every one)\n", path.c_str(),
                    problems - kMostListed);
    if (const auto fits = transposed_grid(path, ni, report))
        std::printf("%s: %s\n", path.c_str(), transposed_text(ni, *fits).c_str());
    const std::string found =
        problems == 0 ? "no problems found"
                      : std::to_string(problems) + " problem" + (problems == 1 ? "" : "s");
    std::printf("%s: %ld row%s, %d column%s, %s\n", path.c_str(), report.rows,
                report.rows == 1 ? "" : "s", report.columns, report.columns == 1 ? "" : "s",
                found.c_str());
    return problems == 0 ? kExitOk : kExitFailure;
}

constexpr Option kOptions[] = {
    {"ni", "N[,N2...]", "increments per dimension"},
    {"params", "FILE", "a parameter file holding ni, ni2, ..."},
    {"all", "", "list every problem"},
};

}  // namespace

extern constinit const Command kCheck{
    .name = "check",
    .summary = "report every row that reads only because the reader is lenient",
    .usage = "FILE [--ni N[,N2...] | --params FILE] [--all]",
    .usage_in_group = "FILE [--ni N[,N2...] | --params FILE]",
    .options = kOptions,
    .help = "Reads the schedule file FILE strictly and reports, with line numbers,\n"
            "every row that the sampling module reads only because its reader is\n"
            "lenient: blank lines (they repeat the previous row), rows with fewer\n"
            "columns than the first (the missing entries repeat the previous row's)\n"
            "or more (the extra ones are ignored), text that is no integer (ignored\n"
            "with the rest of the line), lines longer than 255 characters (the rest\n"
            "is read as a row of its own); and rows that repeat an earlier row.  With\n"
            "the grid known (--ni, or the ni parameters of --params), entries outside\n"
            "0..ni-1 and a column count unlike the grid's are reported too, and a grid\n"
            "that the rows fit only in another order (given transposed) is named.  The\n"
            "first 20 problems are listed, then their count.\n"
            "\n"
            "{options}\n"
            "\n"
            "Exit status: 0 no problem found, 1 problems found (or the file cannot be\n"
            "read), 2 usage error.",
    .run = run,
};

}  // namespace psenv::sched
