// psenv sched make: configure sampling, make or read the schedule, write it.
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/command.h"
#include "core/numbers.h"
#include "core/parameter_file.h"
#include "core/streams.h"
#include "sched/make_planned.h"
#include "sched/progress.h"
#include "sparsamp_plan_options.h"
#include "sparsamp.h"
#include "treekeep.h"
#include "vartree.h"

namespace psenv::sched {
namespace {

// Memory a generated schedule may take without --max-points.
constexpr std::uint64_t kDefaultMemoryLimit = std::uint64_t{1} << 30;

std::string suffix(int j)
{
    return j == 1 ? "" : std::to_string(j);
}

// Increment counts and seeds are whole numbers; the module would round or
// truncate anything else without a word.
constexpr long long kMostIncrements = INT_MAX - 1;

// The value of --seed, --niJ or --densityJ in `value`, or a usage error.
int option_value(const Call &call, const std::string &option, const std::string &text,
                 double &value)
{
    if (option == "seed") {
        const auto seed = parse_whole(text, INT_MIN, INT_MAX);
        if (!seed)
            return bad_number("--seed", text, "a whole number from -2147483648 to 2147483647",
                              call.command);
        value = static_cast<double>(*seed);
    } else if (option.rfind("ni", 0) == 0) {
        const auto ni = parse_whole(text, 0, kMostIncrements);
        if (!ni)
            return bad_number("--" + option, text, "a whole number from 0 to 2147483646",
                              call.command);
        value = static_cast<double>(*ni);
    } else {
        const auto density = parse_decimal(text, 0.0, 100.0);
        if (!density || !(*density > 0.0))
            return bad_number("--" + option, text, "a percentage above 0 and at most 100",
                              call.command);
        value = *density;
    }
    return kExitOk;
}

// The parameter `name` of the current tree made to hold one value.
int set_current(const std::string &name, int type, const std::function<int(varInfo *)> &assign)
{
    varInfo *v = RcreateVar(name.c_str(), getTreeRootByIndex(VARTREE_CURRENT), type);
    if (v != nullptr && assign(v) != 0)
        return kExitOk;
    error("cannot set parameter '" + name + "'");
    return kExitFailure;
}

int set_real_parameter(const Call &call, const std::string &name, const std::string &option)
{
    double value = 0.0;
    if (const int status = option_value(call, option, *call.args.get(option), value);
        status != kExitOk)
        return status;
    return set_current(name, T_REAL, [value](varInfo *v) { return assignReal(value, v, 0); });
}

// The options that set parameters of the current tree, over those of
// --params.
int apply_options(const Call &call)
{
    const Args &args = call.args;
    for (int j = 1; j <= CS_MAX_DIMS; ++j) {
        for (const std::string name : {"ni", "density"}) {
            const std::string option = name + suffix(j);
            if (!args.has(option))
                continue;
            const std::string parameter = (name == "ni" ? "ni" : "CSdensity") + suffix(j);
            if (const int status = set_real_parameter(call, parameter, option); status != kExitOk)
                return status;
        }
    }
    if (args.has("seed"))
        if (const int status = set_real_parameter(call, "CSseed", "seed"); status != kExitOk)
            return status;
    if (auto type = args.get("type")) {
        if (*type != "generated" && *type != "i" && *type != "d")
            return call.usage("--type must be generated, i or d");
        return set_current("CStype", T_STRING,
                           [&](varInfo *v) { return assignString(type->c_str(), v, 0); });
    }
    return kExitOk;
}

// The module leaves out a dimension whose increments come without an active
// density in (0, 100] and says nothing.  Given on the command line that is a
// slip (usage error); from a parameter file a warning says so.
int dropped_dimensions(const Call &call)
{
    for (int j = 1; j <= CS_MAX_DIMS; ++j) {
        const std::string ni_name = "ni" + suffix(j);
        const std::string density_name = "CSdensity" + suffix(j);
        double ni = 0;
        constexpr int kTree = VARTREE_CURRENT;
        if (P_getreal(kTree, ni_name.c_str(), &ni, 1) != 0 ||
            P_getactive(kTree, ni_name.c_str()) == 0 || !(ni > 1.0))
            continue;
        double density = 0;
        if (P_getreal(kTree, density_name.c_str(), &density, 1) == 0 &&
            P_getactive(kTree, density_name.c_str()) != 0 && density > 0 && density <= 100)
            continue;
        const std::string increments = std::to_string(static_cast<long long>(ni));
        if (call.args.has(ni_name))
            return call.usage("--" + ni_name + " " + increments + " needs --density" + suffix(j) +
                              " P (percent of dimension " + std::to_string(j) +
                              "'s increments) with --method uniform; without it the "
                              "dimension would be left out");
        error("warning: dimension " + std::to_string(j) + " (" + ni_name + " " + increments +
              ") has no active " + density_name + " above 0 and at most 100: the sampling "
              "module leaves it out");
    }
    return kExitOk;
}

std::string schedule_location(const std::string &dir)
{
    const char *name = getCSname();
    return name[0] == '/' ? std::string(name) : dir + "/" + name;
}

std::string read_failure(int code, const std::string &where)
{
    switch (code) {
    case CS_READ_NOFILE: {
        const int reason = unreadable(where);
        return "cannot open schedule file '" + where + "'" +
               (reason != 0 ? std::string(": ") + std::strerror(reason) : std::string());
    }
    case CS_READ_NODATA:
        return "schedule file '" + where + "' has no data row";
    default:
        return "schedule file '" + where + "' does not have one column per sparse dimension";
    }
}

std::string format_percent(double percent)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4g%%", percent);
    return text;
}

void print_summary(const std::string &where)
{
    CSinfo info;
    CSgetInfo(&info);
    const bool generated = info.type == CS_TYPE_GENERATED;
    std::printf("schedule file: %s (%s)\n", where.c_str(),
                generated ? "written" : "read");
    std::printf("type:          %s\n",
                generated ? "generated" : (info.type == CS_TYPE_FILE_I ? "i (from file)"
                                                                        : "d (from file)"));
    for (int k = 0; k < info.xdim; ++k)
        std::printf("dimension %d:   %-4s increments %d, sampled %d, density %g%%\n", k + 1,
                    info.par[k], info.dim[k], info.sdim[k], info.density[k] * 100.0);
    std::string shape;
    for (int k = 0; k < info.xdim; ++k)
        shape += (k ? " x " : "") + std::to_string(info.dim[k]);
    std::printf("grid:          %d points (%s)\n", info.total, shape.c_str());
    std::printf("points:        %d (%.4g%% of the grid)\n", info.num,
                info.total > 0 ? 100.0 * info.num / info.total : 0.0);
    // --density is per dimension here, of the whole grid with the other methods.
    std::string densities;
    for (int k = 0; k < info.xdim; ++k)
        densities += std::string(k ? ", " : "") + format_percent(info.density[k] * 100.0) + " of " +
                     std::to_string(info.dim[k]);
    std::printf("density:       per dimension (--density, --density2, ...): %s increments; "
                "%s of the grid's points\n",
                densities.c_str(),
                format_percent(info.total > 0 ? 100.0 * info.num / info.total : 0.0).c_str());
    if (generated)
        std::printf("seed:          %d, %s order\n", info.seed,
                    info.rand ? "drawing" : "grid");
}

// What a generated schedule takes: the module's blocks (a byte per grid
// point, a column of rows per dimension, the drawing order) and, at most,
// its file.
struct Need {
    std::uint64_t memory_bytes = 0;
    std::uint64_t file_bytes = 0;
};

int digits(long long value)
{
    int count = value < 0 ? 2 : 1;
    for (value = value < 0 ? -value : value; value >= 10; value /= 10)
        ++count;
    return count;
}

Need need_of(const CSinfo &info)
{
    const auto rows = static_cast<std::uint64_t>(info.num);
    Need need;
    need.memory_bytes = static_cast<std::uint64_t>(info.total) +
                        rows * sizeof(int) * static_cast<std::uint64_t>(info.xdim + info.rand);
    std::uint64_t line = 1;
    for (int k = 0; k < info.xdim; ++k)
        line += static_cast<std::uint64_t>(std::max(4, digits(info.dim[k] - 1)) + 1);
    need.file_bytes = rows * line;
    return need;
}

std::string size_text(std::uint64_t bytes)
{
    char text[32];
    if (bytes >= (std::uint64_t{1} << 30))
        std::snprintf(text, sizeof text, "%.1f GiB", static_cast<double>(bytes) / (1 << 30));
    else if (bytes >= (std::uint64_t{1} << 20))
        std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / (1 << 20));
    else
        std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
    return text;
}

// Refuses (with the figures) a schedule beyond the limit: 1 GiB of memory,
// or a grid of more than --max-points points when that is given.
int within_limit(const Need &need, const CSinfo &info, std::optional<long long> max_points)
{
    const bool allowed = max_points ? info.total <= *max_points
                                    : need.memory_bytes <= kDefaultMemoryLimit;
    if (allowed)
        return kExitOk;
    error("the schedule would need " + size_text(need.memory_bytes) + " of memory (a grid of " +
          std::to_string(info.total) + " points, " + std::to_string(info.num) +
          " rows) and a file of up to " + size_text(need.file_bytes) + "; the limit is " +
          (max_points ? std::to_string(*max_points) + " grid points" : std::string("1 GiB")) +
          ": give --max-points " + std::to_string(info.total) + " to allow it");
    return kExitFailure;
}

// A generated schedule's second row differs from the origin in some
// dimension; with nothing made every entry reads as 0.
bool schedule_made(int rows)
{
    if (rows < 2)
        return true;
    for (int k = 0; k < getCSdimension(); ++k)
        if (getCSval(k, 1) != 0.0)
            return true;
    return false;
}

int run(const Call &call)
{
    const Args &args = call.args;
    if (!args.operands.empty())
        return call.usage("unexpected argument '" + args.operands.front() + "'");

    tossVars(getTreeRootByIndex(VARTREE_CURRENT));
    if (auto params = args.get("params")) {
        // Problems inside the file are reported by the store as it reads.
        if (const int status = load_parameters(*params, VARTREE_CURRENT); status != kExitOk)
            return status;
    }
    if (const int status = apply_options(call); status != kExitOk)
        return status;

    std::optional<long long> max_points;
    if (auto text = args.get("max-points")) {
        max_points = parse_whole(*text, 1, INT_MAX);
        if (!max_points)
            return bad_number("--max-points", *text, "a whole number from 1 to 2147483647",
                              call.command);
    }

    // An empty directory would put the file at the root: "" + "/" + name.
    const std::string dir = args.get("dir").value_or(".");
    if (dir.empty())
        return call.usage("--dir needs a directory (. for the current one)");
    const auto name = args.get("name");
    if (name && (name->empty() || name->size() >= CS_NAME_SIZE))
        return call.usage("--name must hold 1 to 255 characters");
    const std::string method = args.get("method").value_or("uniform");
    if (method != "uniform" && method != "poisson-gap" && method != "exponential")
        return call.usage("--method must be uniform, poisson-gap or exponential");
    if (method != "uniform") {
        const std::string location =
            name && (*name)[0] == '/' ? *name : dir + "/" + name.value_or(CS_DEFAULT_NAME);
        return make_planned(call, method, location, max_points);
    }
    for (std::size_t i = 0; i < csplan_option_count(); ++i)
        if (const std::string option = csplan_option_at(i)->name; args.has(option))
            return call.usage("--" + option + " belongs to the other methods");
    if (const int status = dropped_dimensions(call); status != kExitOk)
        return status;

    // A renamed file must be in place before the module reads it.
    int status = CSinit(0, name ? nullptr : dir.c_str());
    if (name)
        std::snprintf(getCSname(), CS_NAME_SIZE, "%s", name->c_str());
    const std::string where = schedule_location(dir);
    CSinfo info;
    CSgetInfo(&info);
    if (status != 0 && info.type == CS_TYPE_GENERATED) {
        error("the sampling grid would hold 2^31 points or more");
        return kExitFailure;
    }
    if (info.xdim == 0) {
        error("no sparse dimension: give --ni N (above 1) with --density P (0 < P <= 100)");
        return kExitFailure;
    }
    if (where.size() > 255) {
        error("schedule path '" + where + "' is longer than 255 characters");
        return kExitFailure;
    }
    if (info.type != CS_TYPE_GENERATED) {
        status = CSgetSched(dir.c_str());
        if (status != 0) {
            error(read_failure(status, where));
            return kExitFailure;
        }
        print_summary(where);
        return kExitOk;
    }
    const Need need = need_of(info);
    if (const int status = within_limit(need, info, max_points); status != kExitOk)
        return status;
    // What CSgetSched does for a generated schedule, in two steps: when the
    // module could not make it (memory ran out) it would write empty rows.
    {
        Progress progress(need.file_bytes);
        CSmakeSched();
        if (!schedule_made(info.num)) {
            error("the schedule could not be made: memory ran out (it needs " +
                  size_text(need.memory_bytes) + ")");
            return kExitFailure;
        }
        CSwriteSched(dir.c_str());
    }
    if (const int failure = CSwriteStatus(); failure != 0) {
        error("cannot write schedule file '" + where + "': " + std::strerror(failure));
        return kExitFailure;
    }
    print_summary(where);
    return kExitOk;
}

constexpr Option kOptions[] = {
    {"params", "FILE", "load parameters from FILE first"},
    {.name = "ni",
     .value = "N",
     .help = "full increment count of dimension J (J = '' or 2..10),\n"
             "a whole number from 0 to 2147483646",
     .numbered = Numbered::kAfterBare},
    {.name = "density",
     .value = "P",
     .help = "percentage of those increments that is sampled, 0 < P <= 100",
     .numbered = Numbered::kAfterBare},
    {"seed", "S",
     "seed, a whole number in the 32-bit range; a negative seed\n"
     "lists points in drawing order"},
    {"type", "T", "generated, i or d (the CStype parameter)"},
    {"dir", "DIR", "directory of the schedule file (default .; not empty)"},
    {"name", "NAME",
     "schedule file name (default sampling.sch); an absolute\n"
     "name ignores --dir"},
    {"max-points", "N",
     "allow a generated schedule on a grid of up to N points,\n"
     "however much memory it takes; without it a schedule that\n"
     "needs more than 1 GiB of memory is refused.  poisson-gap\n"
     "and exponential refuse a grid of more than N points (they\n"
     "take 16777216 at most in any case)"},
    {"method", "M",
     "uniform (default): the sampling module's own generator;\n"
     "poisson-gap: gaps drawn from a Poisson distribution whose\n"
     "mean follows a sine (dense near the origin); exponential:\n"
     "random points weighted by an exponential decay along each dimension"},
    {"points", "K", "poisson-gap, exponential: exactly K rows"},
    // --density once more, as the planner's methods read it.
    {"density", "P", "with those methods: P percent of the whole grid"},
    {"weight", "W", "poisson-gap: sine (default) or none (constant mean gap)"},
    {"walk", "W",
     "poisson-gap: threads (default for two or more dimensions\n"
     "of more than one increment): the published multidimensional\n"
     "scheme, lines along one dimension at a time started along\n"
     "the grid's diagonal, gaps following the distance sum from\n"
     "the origin; radial: the former walk by normalised distance\n"
     "(the same file as before for the same seed); line (default\n"
     "in one dimension): increment order"},
    {"sine-portion", "S",
     "poisson-gap: how much of a sine the mean gap follows:\n"
     "quarter (default; --weight sine), half (short gaps at both\n"
     "ends) or none (--weight none)"},
    {"decay", "T", "exponential: decay in increments, one or one per dimension"},
    {"order", "O",
     "poisson-gap, exponential: rows in grid order (default) or\n"
     "shuffled (the origin first, the others in an order drawn\n"
     "from the seed: drift spreads over the experiment)"},
    {"head", "N",
     "sample every point whose increments all lie below N (the\n"
     "first N increments of each dimension)"},
    {"last", "", "sample the grid's last point (every increment at ni - 1)"},
    {"best-of", "N",
     "make N schedules with the seeds S, S+1, ... and keep the one\n"
     "with the lowest far sidelobe (outside the main lobe |k| <= W);\n"
     "the summary says which seed won.  Needs FFTW3"},
    {"exclude", "W", "the main lobe's half-width for --best-of (default 2)"},
    {"allow-periodic", "",
     "keep a schedule whose increments share a common stride\n"
     "> 1 in some dimension; by default such a schedule (every\n"
     "point on a sub-lattice: a full-height ghost) is made again"},
};

}  // namespace

extern constinit const Command kMake{
    .name = "make",
    .summary = "configure sampling from parameters and options, make or read\n"
               "the schedule (uniform, poisson-gap or exponential), write it\n"
               "and print a summary",
    .usage = "[--params FILE] [--ni N --density P] [--ni2 N --density2 P] ...\n"
             "                        [--seed S] [--type generated|i|d] [--dir DIR] [--name NAME]\n"
             "                        [--max-points N]\n"
             "--method poisson-gap|exponential --ni N [--ni2 N ...]\n"
             "                        (--points K | --density P) [--weight sine|none] [--decay T]\n"
             "                        [--walk threads|radial|line] [--sine-portion quarter|half|none]\n"
             "                        [--order grid|shuffled] [--head N] [--last] [--best-of N]\n"
             "                        [--exclude W] [--allow-periodic]\n"
             "                        [--params FILE] [--seed S] [--dir DIR] [--name NAME]",
    .usage_in_group = "[options]",
    .options = kOptions,
    .help = "Fills the current parameter tree from a parameter file and the options (the\n"
            "options win), builds the sampling configuration, and makes the schedule and\n"
            "writes it (type generated) or reads it from the schedule file (types i, d).\n"
            "\n"
            "{options}\n"
            "\n"
            "The schedule file is replaced only once it was written whole; on any\n"
            "failure the old file stays as it was.  A write that takes longer than a\n"
            "second shows its progress when standard error is a terminal.\n"
            "\n"
            "The summary's \"sampled\" of a dimension (uniform) is the module's count of\n"
            "that dimension's increments: the schedule holds the product of these counts\n"
            "as points, drawn at random from the whole grid, so a column may hold more\n"
            "distinct increments than its \"sampled\" count.  \"points\" gives the rows and\n"
            "their share of the grid.  The tool's methods seed std::mt19937_64 with the\n"
            "seed; the same seed gives the same file.\n"
            "\n"
            "Exit status: 0 success; 1 failure (a --params file that cannot be read\n"
            "whole, no sparse dimension, a schedule over the limit, a schedule file\n"
            "that cannot be read or written, a failed output); 2 usage error.",
    .option_column = 18,
    .run = run,
};

}  // namespace psenv::sched
