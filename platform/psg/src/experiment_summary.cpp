#include "experiment_summary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace psg {
namespace {

std::string number_text(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

std::string counted(long long n, const char *one, const char *many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string time_text(double seconds)
{
    return number_text(seconds) + " s (" + clock_text(seconds) + ")";
}

std::string walked(const ExperimentPlan &plan)
{
    const psgparam_walk &shape = plan.shape;
    std::string text;
    if (shape.dimensions > 0) {
        std::string grid;
        for (int n : shape.increments)
            if (n > 0)
                grid += (grid.empty() ? "" : " x ") + std::to_string(n);
        if (shape.sparse)
            text = counted(shape.points, "increment", "increments") + " (sparse: " +
                   std::to_string(shape.points) + " of the " +
                   (shape.dimensions > 1 ? grid + " = " : "") + number_text(shape.grid) +
                   " grid points)";
        else
            text = grid + (shape.dimensions == 1 && shape.points == 1 ? " increment"
                                                                       : " increments");
        text += " x " + counted(shape.quadrature, "quadrature component",
                                "quadrature components") + " x ";
    }
    return text + counted(shape.arrayed, "array element", "array elements") + " = " +
           counted(shape.elements, "element", "elements");
}

std::string scans(const ExperimentPlan &plan, const PassTotals &totals)
{
    const int most = *std::max_element(plan.scans.begin(), plan.scans.end());
    std::string text = "scans: " + std::to_string(plan.fewest_scans);
    if (most != plan.fewest_scans)
        text += " to " + std::to_string(most);
    text += " per element = " + std::to_string(totals.scans);
    if (plan.steady_state > 0)
        text += ", and " + counted(plan.steady_state, "steady-state scan", "steady-state scans") +
                " of " + number_text(totals.first_scan_time) + " s";
    return text;
}

} // namespace

std::string clock_text(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0.0)
        return "?";
    const double tenths = std::round(seconds * 10.0);
    const long long whole = static_cast<long long>(tenths / 10.0);
    char text[64];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%lld", whole / 3600, whole / 60 % 60,
                  whole % 60, static_cast<long long>(tenths) % 10);
    return text;
}

std::string experiment_summary(const ExperimentPlan &plan, const PassTotals &totals,
                               const Rehearsal &rehearsal)
{
    std::string text = "experiment: " + walked(plan) + "\n";
    text += scans(plan, totals) + "\n";
    text += "experiment time: " + time_text(totals.experiment_time()) + "\n";
    if (plan.shape.sparse) {
        text += "full grid: " + counted(static_cast<long long>(plan.shape.grid_elements),
                                        "element", "elements");
        if (rehearsal.grid_timed) {
            const double saved = rehearsal.grid_time - totals.experiment_time();
            text += ", " + time_text(rehearsal.grid_time) + "; sparse sampling saves " +
                    time_text(saved);
            if (rehearsal.grid_time > 0.0)
                text += ", " + number_text(std::round(1000.0 * saved / rehearsal.grid_time) / 10.0) + "%";
        } else {
            text += ", not timed (its rehearsal did not run or the grid exceeds the scans a run "
                    "takes)";
        }
        text += "\n";
    }
    return text;
}

} // namespace psg
