// The options of `sched make` for the planner's methods, read into the
// planner's one table of options (csplan_options of sparsamp_plan.h).
#include <algorithm>
#include <cfloat>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "cmd_sched_plan.h"
#include "sparsamp_plan.h"

namespace psenv::sched {
namespace {

constexpr const char *kCommand = "sched make";

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

// The value of `option`'s word from `words`; a usage error when it is none
// of them (status set, nothing returned).
template <std::size_t N>
std::optional<int> word_option(const Args &args, const char *option, const Word (&words)[N],
                               int fallback, int &status)
{
    const auto given = args.get(option);
    if (!given)
        return fallback;
    std::string choices;
    for (std::size_t i = 0; i < N; ++i) {
        if (*given == words[i].text)
            return words[i].value;
        choices += std::string(i == 0 ? "" : i + 1 == N ? " or " : ", ") + words[i].text;
    }
    status = usage_error(std::string("--") + option + " must be " + choices, kCommand);
    return std::nullopt;
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

int poisson_gap_options(const Args &args, csplan_options &options)
{
    if (args.has("decay"))
        return usage_error("--decay belongs to --method exponential", kCommand);
    int status = -1;
    if (const auto weight = args.get("weight")) {
        // The older spelling of the quarter sine and of no weighting.
        if (args.has("sine-portion"))
            return usage_error("give --sine-portion or --weight, not both", kCommand);
        if (*weight != "sine" && *weight != "none")
            return usage_error("--weight must be sine or none", kCommand);
        options.sine_portion = *weight == "none" ? CSPLAN_SINE_NONE : CSPLAN_SINE_QUARTER;
    } else {
        const auto portion =
            word_option(args, "sine-portion", kPortions, CSPLAN_SINE_QUARTER, status);
        if (!portion)
            return status;
        options.sine_portion = *portion;
    }
    const auto walk = word_option(args, "walk", kWalks, CSPLAN_WALK_DEFAULT, status);
    if (!walk)
        return status;
    options.walk = *walk;
    return -1;
}

int exponential_options(const Args &args, const csplan_grid &grid, csplan_options &options)
{
    for (const char *option : {"weight", "walk", "sine-portion"})
        if (args.has(option))
            return usage_error(std::string("--") + option + " belongs to --method poisson-gap",
                               kCommand);
    const auto decay_text = args.get("decay");
    if (!decay_text)
        return usage_error("--method exponential needs --decay T (increments)", kCommand);
    const auto decays = parse_decays(*decay_text, grid.dimensions);
    if (!decays)
        return usage_error("--decay needs one positive number, or one per dimension (" +
                               std::to_string(grid.dimensions) +
                               "), separated by commas, without signs or blanks",
                           kCommand);
    std::copy(decays->begin(), decays->end(), options.decay);
    return -1;
}

// What both methods take: the order, the forced points, the best of
// several seeds and the guard.
int common_options(const Args &args, csplan_options &options)
{
    int status = -1;
    const auto order = word_option(args, "order", kOrders, CSPLAN_ORDER_GRID, status);
    if (!order)
        return status;
    options.order = *order;
    if (const auto head = args.get("head")) {
        const auto value = parse_whole(*head, 0, INT_MAX);
        if (!value)
            return bad_number("--head", *head, "a whole number from 0 to 2147483647", kCommand);
        options.head = static_cast<int>(*value);
    }
    options.last = args.has("last") ? 1 : 0;
    if (const auto best = args.get("best-of")) {
        const auto value = parse_whole(*best, 1, CSPLAN_MOST_BEST_OF);
        if (!value)
            return bad_number("--best-of", *best,
                              "a whole number from 1 to " + std::to_string(CSPLAN_MOST_BEST_OF),
                              kCommand);
        options.best_of = static_cast<int>(*value);
    }
    if (const auto exclude = args.get("exclude")) {
        const auto value = parse_whole(*exclude, 0, INT_MAX);
        if (!value)
            return bad_number("--exclude", *exclude, "a whole number from 0 to 2147483647",
                              kCommand);
        options.exclude = static_cast<int>(*value);
    }
    options.allow_periodic = args.has("allow-periodic") ? 1 : 0;
    return -1;
}

}  // namespace

const std::vector<OptionSpec> &planned_make_options()
{
    static const std::vector<OptionSpec> options = {
        {"method", true},     {"points", true},  {"weight", true},         {"decay", true},
        {"walk", true},       {"sine-portion", true}, {"order", true},     {"head", true},
        {"last", false},      {"best-of", true}, {"exclude", true},        {"allow-periodic", false}};
    return options;
}

const std::vector<std::string> &planned_only_options()
{
    static const std::vector<std::string> names = {
        "points", "weight", "decay", "walk", "sine-portion", "order",
        "head",   "last",   "best-of", "exclude", "allow-periodic"};
    return names;
}

int planned_options(const Args &args, const std::string &method, const csplan_grid &grid,
                    csplan_options &options)
{
    options.method =
        method == "exponential" ? CSPLAN_METHOD_EXPONENTIAL : CSPLAN_METHOD_POISSON_GAP;
    const int status = options.method == CSPLAN_METHOD_EXPONENTIAL
                           ? exponential_options(args, grid, options)
                           : poisson_gap_options(args, options);
    return status >= 0 ? status : common_options(args, options);
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
