// psenv sched plot: a schedule file drawn as a self-contained SVG picture.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli.h"
#include "cmd_sched.h"
#include "cmd_sched_plan.h"
#include "cmd_sched_plot_picture.h"
#include "psenv_util/file_replacement.h"

namespace psenv::sched {

namespace {

constexpr const char *kCommand = "sched plot";

void print_help()
{
    std::puts("Usage: psenv sched plot FILE --svg OUT [--dims A,B] [--ni N,... | --params FILE]\n\n"
              "Draws the schedule file FILE as an SVG picture in OUT.  One dimension: a\n"
              "strip of all increments with the sampled ones filled; two: the grid with\n"
              "the sampled cells filled; three or more: the projection on the\n"
              "dimensions A and B (default 1,2; a darker cell holds more points) and a\n"
              "histogram of sampled points per increment for each dimension.  Axes run\n"
              "to ni - 1 when the grid is given, else to the largest entry.  Rows that\n"
              "read only because the reader is lenient (see 'psenv sched check') are\n"
              "warned about first, on standard error.\n\n"
              "  --svg OUT        file to write\n"
              "  --dims A,B       dimensions (1-based) of the projection\n"
              "  --ni N[,N2...]   the grid: increments per dimension\n"
              "  --params FILE    the grid from the ni, ni2, ... parameters of FILE\n\n"
              "OUT is replaced only once the picture was written whole.  Texts in the\n"
              "picture (the file name) are made valid UTF-8: a byte that is not is\n"
              "shown as U+FFFD.\n\n"
              "Exit status: 0 success, 1 failure (the schedule cannot be read or has\n"
              "another number of columns than the grid has dimensions, OUT cannot be\n"
              "written, failed output), 2 usage error.");
}

// "A,B" with two different dimensions of the schedule, 1-based.
bool parse_dims(const std::string &text, int dimensions, int *a, int *b)
{
    const auto dims = parse_whole_list(text, 1, dimensions, 2);
    if (!dims || dims->size() != 2 || (*dims)[0] == (*dims)[1])
        return false;
    *a = static_cast<int>((*dims)[0]) - 1;
    *b = static_cast<int>((*dims)[1]) - 1;
    return true;
}

}  // namespace

int plot(int argc, char **argv)
{
    int exit_status = kExitOk;
    auto args = parse_command(argc, argv, 1,
                              {{"help", false}, {"svg", true}, {"dims", true}, {"ni", true},
                               {"params", true}},
                              kCommand, print_help, exit_status);
    if (!args)
        return exit_status;
    if (args->operands.size() != 1)
        return usage_error("sched plot needs exactly one schedule file", kCommand);
    const auto out = args->get("svg");
    if (!out || out->empty())
        return usage_error("sched plot needs --svg OUT", kCommand);
    const std::string file = args->operands.front();
    const auto ni = grid_option(*args, kCommand, exit_status);
    if (!ni)
        return exit_status;
    warn_about_schedule(file, *ni);
    const auto schedule = load_schedule(file);
    if (!schedule)
        return kExitFailure;
    int a = 0;
    int b = 1;
    if (auto dims = args->get("dims")) {
        if (schedule->dimensions() < 2 || !parse_dims(*dims, schedule->dimensions(), &a, &b))
            return usage_error("--dims needs two different dimensions 1.." +
                                   std::to_string(schedule->dimensions()) + ", as in 1,2",
                               kCommand);
    }
    // The file is at fault as much as the grid: a failure, as in psf.
    if (!ni->empty() && static_cast<int>(ni->size()) != schedule->dimensions()) {
        const int columns = schedule->dimensions();
        error(file + ": the schedule has " + std::to_string(columns) + " column" +
              (columns == 1 ? "" : "s") + " but the grid " + std::to_string(ni->size()) +
              " dimension" + (ni->size() == 1 ? "" : "s"));
        return kExitFailure;
    }
    const std::string svg = schedule_picture(*schedule, file, a, b, *ni);
    if (const int failure = util::replace_file(*out, svg); failure != 0) {
        error("cannot write '" + *out + "': " + std::strerror(failure));
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace psenv::sched
