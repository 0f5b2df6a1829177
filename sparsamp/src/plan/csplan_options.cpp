// csplan_options_set and friends: the planner's make options read from
// text, the one table that every face fills csplan_options from.
#include "sparsamp_plan_options.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "c_interface.h"
#include "psenv_util/plain_numbers.h"

using psenv::plan::copy_detail;
using psenv::plan::grid_of;
using psenv::plan::guarded;

namespace {

constexpr int kBoth = CSPLAN_TAKEN_BY_POISSON_GAP | CSPLAN_TAKEN_BY_EXPONENTIAL;

// In the order csplan_options_set_all() reads them.
constexpr csplan_option_entry kTable[] = {
    {"points", kBoth, 0},
    {"weight", CSPLAN_TAKEN_BY_POISSON_GAP, 0},
    {"decay", CSPLAN_TAKEN_BY_EXPONENTIAL, 0},
    {"walk", CSPLAN_TAKEN_BY_POISSON_GAP, 0},
    {"sine-portion", CSPLAN_TAKEN_BY_POISSON_GAP, 0},
    {"order", kBoth, 0},
    {"head", kBoth, 0},
    {"last", kBoth, 1},
    {"best-of", kBoth, 0},
    {"exclude", kBoth, 0},
    {"allow-periodic", kBoth, 1},
};

const csplan_option_entry *entry_named(std::string_view name)
{
    for (const csplan_option_entry &entry : kTable)
        if (name == entry.name)
            return &entry;
    return nullptr;
}

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
constexpr Word kWeights[] = {{"sine", CSPLAN_SINE_QUARTER}, {"none", CSPLAN_SINE_NONE}};

// A refusal: the sentence the caller gets.
struct Refused {
    std::string why;
};

template <std::size_t N>
int word_of(std::string_view option, std::string_view text, const Word (&words)[N])
{
    std::string choices;
    for (std::size_t i = 0; i < N; ++i) {
        if (text == words[i].text)
            return words[i].value;
        choices += std::string(i == 0 ? "" : i + 1 == N ? " or " : ", ") + words[i].text;
    }
    throw Refused{"--" + std::string(option) + " must be " + choices};
}

// One decay, or one per dimension, each above 0.
std::vector<double> decays_of(std::string_view text, int dimensions)
{
    // Signs are refused: a decay is above 0, and a '-' is taken for a slip.
    std::vector<double> decays =
        psenv::util::parse_decimal_list(text, DBL_TRUE_MIN, DBL_MAX, CSPLAN_MAX_DIMS)
            .value_or(std::vector<double>{});
    if (decays.size() == 1)
        decays.assign(static_cast<std::size_t>(dimensions), decays.front());
    if (static_cast<int>(decays.size()) != dimensions)
        throw Refused{"--decay needs one positive number, or one per dimension (" +
                      std::to_string(dimensions) +
                      "), separated by commas, without signs or blanks"};
    return decays;
}

int whole_option(std::string_view option, std::string_view text, long long low, long long high)
{
    const auto value = psenv::util::parse_whole(text, low, high);
    if (!value)
        throw Refused{"--" + std::string(option) + " '" + std::string(text) +
                      "' is not a whole number from " + std::to_string(low) + " to " +
                      std::to_string(high)};
    return static_cast<int>(*value);
}

int method_of(std::string_view name)
{
    if (name == "poisson-gap")
        return CSPLAN_METHOD_POISSON_GAP;
    if (name == "exponential")
        return CSPLAN_METHOD_EXPONENTIAL;
    throw Refused{"--method must be poisson-gap or exponential"};
}

// Reads `name`'s text into `options` for `method`.
void set_one(csplan_options &options, const csplan_grid &grid, int method, std::string_view name,
             std::string_view text)
{
    const csplan_option_entry *entry = entry_named(name);
    if (entry == nullptr)
        throw Refused{"--" + std::string(name) + " is no option of the planner"};
    const int taken_by = method == CSPLAN_METHOD_EXPONENTIAL ? CSPLAN_TAKEN_BY_EXPONENTIAL
                                                             : CSPLAN_TAKEN_BY_POISSON_GAP;
    if ((entry->methods & taken_by) == 0)
        throw Refused{"--" + std::string(name) + " belongs to --method " +
                      (method == CSPLAN_METHOD_EXPONENTIAL ? "poisson-gap" : "exponential")};
    if (entry->flag != 0 && !text.empty())
        throw Refused{"--" + std::string(name) + " takes no value"};
    options.method = method;
    if (name == "points") {
        const std::int64_t total = csplan_grid_points(&grid);
        const auto points = psenv::util::parse_whole(text, 1, total);
        if (!points)
            throw Refused{"--points must be a whole number from 1 to the grid's " +
                          std::to_string(total) + " points"};
        options.points = *points;
    } else if (name == "weight") {
        options.sine_portion = word_of("weight", text, kWeights);
    } else if (name == "decay") {
        const std::vector<double> decays = decays_of(text, grid.dimensions);
        std::copy(decays.begin(), decays.end(), options.decay);
    } else if (name == "walk") {
        options.walk = word_of(name, text, kWalks);
    } else if (name == "sine-portion") {
        options.sine_portion = word_of(name, text, kPortions);
    } else if (name == "order") {
        options.order = word_of(name, text, kOrders);
    } else if (name == "head") {
        options.head = whole_option(name, text, 0, INT_MAX);
    } else if (name == "best-of") {
        options.best_of = whole_option(name, text, 1, CSPLAN_MOST_BEST_OF);
    } else if (name == "exclude") {
        options.exclude = whole_option(name, text, 0, INT_MAX);
    } else if (name == "last") {
        options.last = 1;
    } else {
        options.allow_periodic = 1;
    }
}

// Runs `work`, which throws Refused for a refusal, as a C entry point does.
template <typename Work>
int refusing(char *detail, std::size_t detail_size, Work &&work)
{
    std::string reason;
    const int code = guarded([&] {
        try {
            work();
            return CSPLAN_OK;
        } catch (const Refused &refused) {
            reason = refused.why;
            return CSPLAN_EINVAL;
        }
    });
    copy_detail(code == CSPLAN_OK ? "" : reason.empty() ? csplan_strerror(code) : reason, detail,
                detail_size);
    return code;
}

std::string_view text_of(const char *value)
{
    return value == nullptr ? std::string_view{} : std::string_view{value};
}

}  // namespace

extern "C" size_t csplan_option_count(void)
{
    return std::size(kTable);
}

extern "C" const csplan_option_entry *csplan_option_at(size_t index)
{
    return index < std::size(kTable) ? &kTable[index] : nullptr;
}

extern "C" int csplan_method_named(const char *name, int *method)
{
    if (name == nullptr || method == nullptr)
        return CSPLAN_EINVAL;
    const std::string_view given = name;
    if (given != "poisson-gap" && given != "exponential")
        return CSPLAN_EINVAL;
    *method = given == "exponential" ? CSPLAN_METHOD_EXPONENTIAL : CSPLAN_METHOD_POISSON_GAP;
    return CSPLAN_OK;
}

extern "C" int csplan_options_set(csplan_options *options, const csplan_grid *grid,
                                  const char *method, const char *name, const char *value,
                                  char *detail, size_t detail_size)
{
    return refusing(detail, detail_size, [&] {
        if (options == nullptr || !grid_of(grid) || method == nullptr || name == nullptr)
            throw Refused{"no options, no valid grid, no method or no option name"};
        csplan_options changed = *options;
        set_one(changed, *grid, method_of(method), name, text_of(value));
        *options = changed;
    });
}

extern "C" int csplan_options_set_all(csplan_options *options, const csplan_grid *grid,
                                      const char *method, const char *const *names,
                                      const char *const *values, size_t count, char *detail,
                                      size_t detail_size)
{
    return refusing(detail, detail_size, [&] {
        if (options == nullptr || !grid_of(grid) || method == nullptr ||
            (count > 0 && names == nullptr))
            throw Refused{"no options, no valid grid, no method or no option names"};
        const int chosen = method_of(method);
        // The text given for each entry of the table, in its order.
        std::optional<std::string_view> given[std::size(kTable)];
        for (std::size_t i = 0; i < count; ++i) {
            if (names[i] == nullptr)
                throw Refused{"an option without a name"};
            const csplan_option_entry *entry = entry_named(names[i]);
            if (entry == nullptr)
                throw Refused{"--" + std::string(names[i]) + " is no option of the planner"};
            auto &slot = given[entry - kTable];
            if (slot)
                throw Refused{"--" + std::string(names[i]) + " given twice"};
            slot = text_of(values == nullptr ? nullptr : values[i]);
        }
        auto text = [&](const char *name) { return given[entry_named(name) - kTable]; };
        auto set = [&](const char *name) {
            if (const auto value = text(name))
                set_one(*options, *grid, chosen, name, *value);
        };
        options->method = chosen;
        set("points");
        if (chosen == CSPLAN_METHOD_POISSON_GAP) {
            set("decay");  // refused: it belongs to the other method
            options->sine_portion = CSPLAN_SINE_QUARTER;
            // --weight is the older spelling of the quarter sine and of none.
            if (text("weight") && text("sine-portion"))
                throw Refused{"give --sine-portion or --weight, not both"};
            set("weight");
            set("sine-portion");
            options->walk = CSPLAN_WALK_DEFAULT;
            set("walk");
        } else {
            for (const char *other : {"weight", "walk", "sine-portion"})
                set(other);  // refused
            if (!text("decay"))
                throw Refused{"--method exponential needs --decay T (increments)"};
            set("decay");
        }
        options->order = CSPLAN_ORDER_GRID;
        for (const char *common : {"order", "head", "last", "best-of", "exclude", "allow-periodic"})
            set(common);
    });
}

extern "C" size_t csplan_warning_count(const csplan_check_report *report)
{
    if (report == nullptr)
        return 0;
    return std::min<size_t>(report->count, CSPLAN_MOST_WARNINGS + 1);
}

extern "C" int csplan_warning_text(const char *path, const csplan_check_report *report,
                                   size_t index, char *text, size_t text_size)
{
    if (path == nullptr || report == nullptr || text == nullptr || text_size == 0 ||
        index >= csplan_warning_count(report))
        return CSPLAN_EINVAL;
    return guarded([&] {
        std::string warning = path;
        if (index < CSPLAN_MOST_WARNINGS) {
            const csplan_problem &problem = report->problems[index];
            warning += ":" + std::to_string(problem.line) + ": " + problem.text;
        } else {
            warning += ": " + std::to_string(report->count - CSPLAN_MOST_WARNINGS) +
                       " more problems ('psenv sched check' lists them)";
        }
        copy_detail(warning, text, text_size);
        return CSPLAN_OK;
    });
}
