// psenv sched check: the schedule file read strictly.
#include <cstdio>
#include <cstring>
#include <string>

#include "core/command.h"
#include "sched/grid.h"
#include "sched/schedule.h"
#include "sparsamp_plan.h"

namespace psenv::sched {
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
    StrictReading reading;
    int failure = 0;
    if (const int code = reading.read(path, ni, failure); code != CSPLAN_OK) {
        error("cannot open schedule file '" + path + "': " +
              (code == CSPLAN_EIO ? std::strerror(failure) : csplan_strerror(code)));
        return kExitFailure;
    }
    const csplan_check_report &report = reading.report;
    for (std::size_t i = 0; i < report.count; ++i)
        std::printf("%s:%ld: %s\n", path.c_str(), report.problems[i].line, report.problems[i].text);
    const std::size_t problems = report.count;
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
};

}  // namespace

extern constinit const Command kCheck{
    .name = "check",
    .summary = "report every row that reads only because the reader is lenient",
    .usage = "FILE [--ni N[,N2...] | --params FILE]",
    .options = kOptions,
    .help = "Reads the schedule file FILE strictly and reports, with line numbers,\n"
            "every row that the sampling module reads only because its reader is\n"
            "lenient: blank lines (they repeat the previous row), rows with fewer\n"
            "columns than the first (the missing entries repeat the previous row's)\n"
            "or more (the extra ones are ignored), text that is no integer (ignored\n"
            "with the rest of the line), lines longer than 255 characters (the rest\n"
            "is read as a row of its own); and rows that repeat an earlier row.  With\n"
            "the grid known (--ni, or the ni parameters of --params), entries outside\n"
            "0..ni-1 and a column count unlike the grid's are reported too.\n"
            "\n"
            "{options}\n"
            "\n"
            "Exit status: 0 no problem found, 1 problems found (or the file cannot be\n"
            "read), 2 usage error.",
    .run = run,
};

}  // namespace psenv::sched
