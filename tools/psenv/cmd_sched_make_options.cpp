// The options of `sched make` for the planner's methods, read into the
// planner's one table of options (csplan_options of sparsamp_plan.h).
#include <algorithm>
#include <cfloat>
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
    const std::string weight = args.get("weight").value_or("sine");
    if (weight != "sine" && weight != "none")
        return usage_error("--weight must be sine or none", kCommand);
    options.sine_portion = weight == "none" ? CSPLAN_SINE_NONE : CSPLAN_SINE_QUARTER;
    int status = -1;
    const auto walk = word_option(args, "walk", kWalks, CSPLAN_WALK_DEFAULT, status);
    if (!walk)
        return status;
    options.walk = *walk;
    return -1;
}

int exponential_options(const Args &args, const csplan_grid &grid, csplan_options &options)
{
    for (const char *option : {"weight", "walk"})
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

}  // namespace

const std::vector<OptionSpec> &planned_make_options()
{
    static const std::vector<OptionSpec> options = {
        {"method", true}, {"points", true}, {"weight", true}, {"decay", true}, {"walk", true}};
    return options;
}

const std::vector<std::string> &planned_only_options()
{
    static const std::vector<std::string> names = {"points", "weight", "decay", "walk"};
    return names;
}

int planned_options(const Args &args, const std::string &method, const csplan_grid &grid,
                    csplan_options &options)
{
    options.method =
        method == "exponential" ? CSPLAN_METHOD_EXPONENTIAL : CSPLAN_METHOD_POISSON_GAP;
    return options.method == CSPLAN_METHOD_EXPONENTIAL ? exponential_options(args, grid, options)
                                                       : poisson_gap_options(args, options);
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

}  // namespace psenv::sched
