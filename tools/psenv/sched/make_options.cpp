// The options of `sched make` for the planner's methods, read into the
// planner's one table of options (csplan_options of sparsamp_plan.h).
#include <algorithm>
#include <cfloat>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "core/numbers.h"
#include "sched/make_planned.h"
#include "sparsamp_plan.h"

namespace psenv::sched {
namespace {

// An option's word and the planner's value for it.
struct Word {
    const char *text;
    int value;
};

constexpr Word kWalks[] = {
    {"threads", CSPLAN_WALK_THREADS}, {"radial", CSPLAN_WALK_RADIAL}, {"line", CSPLAN_WALK_LINE}};
constexpr Word kPortions[] = {
    {"quarter", CSPLAN_SINE_QUARTER}, {"half", CSPLAN_SINE_HALF}, {"none", CSPLAN_SINE_NONE}};
constexpr Word kOrders[] = {{"grid", CSPLAN_ORDER_GRID}, {"shuffled", CSPLAN_ORDER_SHUFFLED}};

// The planner's value of `option`'s word from `words` (`fallback` when
// the option is not given) in `value`; a usage error when it is none of them.
template <std::size_t N>
int word_option(const Call &call, const char *option, const Word (&words)[N], int fallback,
                int &value)
{
    const auto given = call.args.get(option);
    value = fallback;
    if (!given)
        return kExitOk;
    std::string choices;
    for (std::size_t i = 0; i < N; ++i) {
        if (*given == words[i].text) {
            value = words[i].value;
            return kExitOk;
        }
        choices += std::string(i == 0 ? "" : i + 1 == N ? " or " : ", ") + words[i].text;
    }
    return call.usage(std::string("--") + option + " must be " + choices);
}

std::optional<std::vector<double>> parse_decays(const std::string &text, int dimensions)
{
    auto decays = parse_decimal_list(text, 0.0, DBL_MAX, CSPLAN_MAX_DIMS);
    if (!decays || std::any_of(decays->begin(), decays->end(), [](double d) { return d <= 0; }))
        return std::nullopt;
    if (decays->size() == 1)
        decays->assign(static_cast<std::size_t>(dimensions), decays->front());
    if (static_cast<int>(decays->size()) != dimensions)
        return std::nullopt;
    return decays;
}

int poisson_gap_options(const Call &call, csplan_options &options)
{
    const Args &args = call.args;
    if (args.has("decay"))
        return call.usage("--decay belongs to --method exponential");
    if (const auto weight = args.get("weight")) {
        // The older spelling of the quarter sine and of no weighting.
        if (args.has("sine-portion"))
            return call.usage("give --sine-portion or --weight, not both");
        if (*weight != "sine" && *weight != "none")
            return call.usage("--weight must be sine or none");
        options.sine_portion = *weight == "none" ? CSPLAN_SINE_NONE : CSPLAN_SINE_QUARTER;
    } else if (const int status = word_option(call, "sine-portion", kPortions,
                                              CSPLAN_SINE_QUARTER, options.sine_portion);
               status != kExitOk) {
        return status;
    }
    return word_option(call, "walk", kWalks, CSPLAN_WALK_DEFAULT, options.walk);
}

int exponential_options(const Call &call, const csplan_grid &grid, csplan_options &options)
{
    for (const char *option : {"weight", "walk", "sine-portion"})
        if (call.args.has(option))
            return call.usage(std::string("--") + option + " belongs to --method poisson-gap");
    const auto decay_text = call.args.get("decay");
    if (!decay_text)
        return call.usage("--method exponential needs --decay T (increments)");
    const auto decays = parse_decays(*decay_text, grid.dimensions);
    if (!decays)
        return call.usage("--decay needs one positive number, or one per dimension (" +
                          std::to_string(grid.dimensions) +
                          "), separated by commas, without signs or blanks");
    std::copy(decays->begin(), decays->end(), options.decay);
    return kExitOk;
}

// The value of a whole-number option, when given, in `value`; a usage error
// outside low..high.
int whole_option(const Call &call, const char *option, long long low, long long high,
                 int &value)
{
    const auto text = call.args.get(option);
    if (!text)
        return kExitOk;
    const auto given = parse_whole(*text, low, high);
    if (!given)
        return bad_number(std::string("--") + option, *text,
                          "a whole number from " + std::to_string(low) + " to " +
                              std::to_string(high),
                          call.command);
    value = static_cast<int>(*given);
    return kExitOk;
}

// What both methods take: the order, the forced points, the best of
// several seeds and the guard.
int common_options(const Call &call, csplan_options &options)
{
    if (const int status = word_option(call, "order", kOrders, CSPLAN_ORDER_GRID, options.order);
        status != kExitOk)
        return status;
    if (const int status = whole_option(call, "head", 0, INT_MAX, options.head);
        status != kExitOk)
        return status;
    options.last = call.args.has("last") ? 1 : 0;
    if (const int status = whole_option(call, "best-of", 1, CSPLAN_MOST_BEST_OF, options.best_of);
        status != kExitOk)
        return status;
    if (const int status = whole_option(call, "exclude", 0, INT_MAX, options.exclude);
        status != kExitOk)
        return status;
    options.allow_periodic = call.args.has("allow-periodic") ? 1 : 0;
    return kExitOk;
}

}  // namespace

const std::vector<std::string> &planned_only_options()
{
    static const std::vector<std::string> names = {
        "points", "weight", "decay", "walk", "sine-portion", "order",
        "head",   "last",   "best-of", "exclude", "allow-periodic"};
    return names;
}

int planned_options(const Call &call, const std::string &method, const csplan_grid &grid,
                    csplan_options &options)
{
    options.method =
        method == "exponential" ? CSPLAN_METHOD_EXPONENTIAL : CSPLAN_METHOD_POISSON_GAP;
    const int status = options.method == CSPLAN_METHOD_EXPONENTIAL
                           ? exponential_options(call, grid, options)
                           : poisson_gap_options(call, options);
    return status != kExitOk ? status : common_options(call, options);
}

std::string made_text(const csplan_options &options, const csplan_made &made,
                      const std::string &decay_text)
{
    if (options.method == CSPLAN_METHOD_EXPONENTIAL)
        return "exponential, decay " + decay_text + " increments";
    static const char *const portions[] = {"quarter sine", "half sine", "none"};
    std::string walk = "line";
    for (const Word &word : kWalks)
        if (word.value == made.walk)
            walk = word.text;
    return std::string("poisson-gap, ") + portions[options.sine_portion] + " weighting, " +
           walk + " walk";
}

void print_made(const csplan_options &options, const csplan_made &made)
{
    if (options.head >= 2 || options.last != 0) {
        std::string what = options.head >= 2 ? "head " + std::to_string(options.head) : "";
        if (options.last != 0)
            what += std::string(what.empty() ? "" : " and ") + "the last point";
        std::printf("forced:        %s (%lld points with the origin)\n", what.c_str(),
                    static_cast<long long>(made.forced));
    }
    if (options.best_of > 1)
        std::printf("best of:       %d seeds from %d, seed %d kept: far sidelobe %.6f "
                    "(outside |k| <= %d)\n",
                    made.candidates, options.seed, made.seed, made.far_sidelobe, options.exclude);
    if (made.periodic_rejected > 0)
        std::printf("periodicity:   %d schedule%s of the right size turned down (every point "
                    "on a sub-lattice)\n",
                    made.periodic_rejected, made.periodic_rejected == 1 ? "" : "s");
    if (made.periodic != 0)
        error(options.allow_periodic != 0
                  ? "warning: the schedule's points share a common stride > 1 in some "
                    "dimension (allowed by --allow-periodic): expect a full-height ghost"
                  : "warning: the schedule's points share a common stride > 1 in some "
                    "dimension and no point was free to move: expect a full-height ghost");
    if (made.completed != 0)
        std::printf("note:          no pass gave exactly %lld points%s; the closest one was "
                    "completed or thinned\n",
                    static_cast<long long>(options.points),
                    made.periodic_rejected > 0 ? " that the guard accepts" : "");
}

}  // namespace psenv::sched
