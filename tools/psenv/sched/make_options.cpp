// The options of `sched make` for the planner's methods, read by the
// planner's table of options (sparsamp_plan_options.h), and its summary.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "sched/make_planned.h"
#include "sparsamp_plan_options.h"

namespace psenv::sched {

int planned_options(const Call &call, const std::string &method, const csplan_grid &grid,
                    csplan_options &options)
{
    std::vector<std::string> texts;
    std::vector<const char *> names;
    texts.reserve(csplan_option_count());
    for (std::size_t i = 0; i < csplan_option_count(); ++i) {
        const char *name = csplan_option_at(i)->name;
        if (auto value = call.args.get(name)) {
            names.push_back(name);
            texts.push_back(std::move(*value));
        }
    }
    std::vector<const char *> values;
    std::size_t longest = 0;
    for (const std::string &text : texts) {
        values.push_back(text.c_str());
        longest = std::max(longest, text.size());
    }
    // Room for a refused text quoted whole in the sentence.
    std::vector<char> detail(longest + 256);
    if (csplan_options_set_all(&options, &grid, method.c_str(), names.data(), values.data(),
                               names.size(), detail.data(), detail.size()) != CSPLAN_OK)
        return call.usage(detail.data());
    return kExitOk;
}

std::string made_text(const csplan_options &options, const csplan_made &made,
                      const std::string &decay_text)
{
    if (options.method == CSPLAN_METHOD_EXPONENTIAL)
        return "exponential, decay " + decay_text + " increments";
    static const char *const portions[] = {"quarter sine", "half sine", "none"};
    const char *walk = made.walk == CSPLAN_WALK_THREADS  ? "threads"
                       : made.walk == CSPLAN_WALK_RADIAL ? "radial"
                                                         : "line";
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
