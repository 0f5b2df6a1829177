#include "experiment_plan.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

#include "psgparam.h"
#include "run_state.h"
#include "runner_options.h"

namespace psg {
namespace {

bool whole_in(double value, double low, double high)
{
    return std::isfinite(value) && value == std::trunc(value) && value >= low && value <= high;
}

std::string number_text(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

bool arrayed(const char *name)
{
    const char *listed = nullptr;
    for (int i = 0; (listed = psgparam_arrayed_name(i, nullptr)) != nullptr; ++i)
        if (std::string(listed) == name)
            return true;
    return false;
}

// The first element of array element `array_element` (1-based): the
// quadrature components vary fastest, then the array elements.
long long first_element_of(const psgparam_walk &shape, int array_element)
{
    return static_cast<long long>(array_element - 1) * shape.quadrature + 1;
}

bool fail(const std::string &message)
{
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s\n", program_name(), message.c_str());
    return false;
}

} // namespace

int ExperimentPlan::scans_of(int element) const
{
    const long long index = (element - 1) / shape.quadrature % shape.arrayed;
    return scans[static_cast<size_t>(index)];
}

bool make_plan(ExperimentPlan &plan)
{
    psgparam_walk_shape(&plan.shape);
    const psgparam_walk &shape = plan.shape;
    const bool has_nt = psgparam_exists("nt") != 0;
    const bool nt_arrayed = has_nt && arrayed("nt");
    plan.scans.assign(static_cast<size_t>(shape.arrayed), 1);
    for (int a = 1; a <= shape.arrayed && has_nt; ++a) {
        if (!nt_arrayed && a > 1) {
            plan.scans[static_cast<size_t>(a - 1)] = plan.scans[0];
            continue;
        }
        if (psgparam_select_element(a) != 0)
            return fail("cannot select array element " + std::to_string(a));
        const double nt = getval("nt");
        if (!whole_in(nt, 1.0, INT_MAX))
            return fail("element " + std::to_string(first_element_of(shape, a)) +
                        ": nt = " + number_text(nt) +
                        ": the scans of an element are a whole number from 1 to 2147483647");
        plan.scans[static_cast<size_t>(a - 1)] = static_cast<int>(nt);
    }
    if (psgparam_select_element(1) != 0)
        return fail("cannot select array element 1");
    if (psgparam_exists("ss")) {
        const double ss = getval("ss");
        if (!whole_in(ss, 0.0, INT_MAX))
            return fail("element 1: ss = " + number_text(ss) +
                        ": the steady-state scans before the first are a whole number from 0 "
                        "to 2147483647");
        plan.steady_state = static_cast<int>(ss);
    }

    // Each array element's scans recur at every point and quadrature component.
    const double repeats = static_cast<double>(shape.points) * shape.quadrature;
    double total = 0.0;
    plan.fewest_scans = INT_MAX;
    for (int nt : plan.scans) {
        total += nt * repeats;
        plan.fewest_scans = std::min(plan.fewest_scans, nt);
    }
    if (total + plan.steady_state > static_cast<double>(kMostScans))
        return fail("the experiment has " + number_text(total + plan.steady_state) +
                    " scans (nt of every element and ss); a run takes at most " +
                    std::to_string(kMostScans));
    plan.total_scans = static_cast<long long>(total);
    plan.summarised = has_nt || psgparam_exists("ss") || shape.dimensions > 0;
    return true;
}

} // namespace psg
