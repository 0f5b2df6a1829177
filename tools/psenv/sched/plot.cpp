// psenv sched plot: a schedule file drawn as a self-contained SVG picture.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/command.h"
#include "core/numbers.h"
#include "psenv_util/file_replacement.h"
#include "sched/grid.h"
#include "sched/schedule.h"
#include "sparsamp_pictures.h"

namespace psenv::sched {
namespace {

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

int run(const Call &call)
{
    const Args &args = call.args;
    if (args.operands.size() != 1)
        return call.usage("sched plot needs exactly one schedule file");
    const auto out = args.get("svg");
    if (!out || out->empty())
        return call.usage("sched plot needs --svg OUT");
    const std::string file = args.operands.front();
    std::vector<int> ni;
    if (const int status = grid_option(call, ni); status != kExitOk)
        return status;
    warn_about_schedule(file, ni);
    Schedule schedule;
    if (const int status = load_schedule(file, schedule); status != kExitOk)
        return status;
    int a = 0;
    int b = 1;
    if (auto dims = args.get("dims")) {
        if (schedule.dimensions() < 2 || !parse_dims(*dims, schedule.dimensions(), &a, &b))
            return call.usage("--dims needs two different dimensions 1.." +
                              std::to_string(schedule.dimensions()) + ", as in 1,2");
    }
    // The file is at fault as much as the grid: a failure, as in psf.
    if (!ni.empty() && static_cast<int>(ni.size()) != schedule.dimensions()) {
        const int columns = schedule.dimensions();
        error(file + ": the schedule has " + std::to_string(columns) + " column" +
              (columns == 1 ? "" : "s") + " but the grid " + std::to_string(ni.size()) +
              " dimension" + (ni.size() == 1 ? "" : "s"));
        return kExitFailure;
    }
    // The rows as the file holds them: entries beyond the grid lengthen the
    // axes (they were warned about), negative ones are left out.
    const std::vector<int> rows = schedule.row_major();
    char *svg = nullptr;
    if (const int code = csplan_schedule_svg(rows.data(), static_cast<std::int64_t>(schedule.rows()),
                                             schedule.dimensions(), ni.empty() ? nullptr : ni.data(),
                                             a, b, file.c_str(), CSPLAN_OUTSIDE_DRAWN, &svg);
        code != CSPLAN_OK) {
        error(file + ": cannot draw the schedule: " + csplan_strerror(code));
        return kExitFailure;
    }
    const int failure = util::replace_file(*out, svg);
    csplan_free_text(svg);
    if (failure != 0) {
        error("cannot write '" + *out + "': " + std::strerror(failure));
        return kExitFailure;
    }
    return kExitOk;
}

constexpr Option kOptions[] = {
    {"svg", "OUT", "file to write"},
    {"dims", "A,B", "dimensions (1-based) of the projection"},
    {"ni", "N[,N2...]", "the grid: increments per dimension"},
    {"params", "FILE", "the grid from the ni, ni2, ... parameters of FILE"},
};

}  // namespace

extern constinit const Command kPlot{
    .name = "plot",
    .summary = "draw a schedule file as an SVG picture",
    .usage = "FILE --svg OUT [--dims A,B] [--ni N,... | --params FILE]",
    .options = kOptions,
    .help = "Draws the schedule file FILE as an SVG picture in OUT.  One dimension: a\n"
            "strip of all increments with the sampled ones filled; two: the grid with\n"
            "the sampled cells filled; three or more: the projection on the\n"
            "dimensions A and B (default 1,2; a darker cell holds more points) and a\n"
            "histogram of sampled points per increment for each dimension.  Axes run\n"
            "to ni - 1 when the grid is given, else to the largest entry.  Rows that\n"
            "read only because the reader is lenient (see 'psenv sched check') are\n"
            "warned about first, on standard error.\n"
            "\n"
            "{options}\n"
            "\n"
            "OUT is replaced only once the picture was written whole.  Texts in the\n"
            "picture (the file name) are made valid UTF-8: a byte that is not is\n"
            "shown as U+FFFD.\n"
            "\n"
            "Exit status: 0 success, 1 failure (the schedule cannot be read or has\n"
            "another number of columns than the grid has dimensions, OUT cannot be\n"
            "written, failed output), 2 usage error.",
    .option_column = 19,
    .run = run,
};

}  // namespace psenv::sched
