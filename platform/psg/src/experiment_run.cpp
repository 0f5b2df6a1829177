#include "experiment_run.h"

#include <cstdio>
#include <string>

#include "phase_tables.h"
#include "psgacq.h"
#include "psgparam.h"
#include "run_state.h"
#include "sequence_calls.h"
#include "value_checks.h"

namespace psg {
namespace {

std::string description_of(int element)
{
    char lines[1024];
    psgparam_describe_walk_element(element, lines, sizeof lines);
    return lines;
}

bool fail(const std::string &message)
{
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s\n", program_name(), message.c_str());
    return false;
}

void add_element(const ExperimentPlan &plan, int element, bool one_scan_each,
                 PassTotals &totals)
{
    psgacq_totals done{};
    psgacq_element_totals(element, &done);
    if (one_scan_each) {
        const int nt = plan.scans_of(element);
        totals.scans += nt;
        totals.scan_time += nt * done.first_scan_time;
    } else {
        totals.scans += done.scans;
        totals.scan_time += done.total_time;
    }
    if (element == 1)
        totals.first_scan_time = done.first_scan_time;
}

} // namespace

bool run_pass(const ExperimentPlan &plan, int elements, const PassSettings &settings,
              PassTotals &totals)
{
    totals = PassTotals{};
    forget_phase_tables();
    psgacq_keep(settings.kept_element);
    psgacq_keep_scan(settings.shown_scan);
    for (int element = 1; element <= elements; ++element) {
        if (psgparam_select_walk_element(element) != 0)
            return fail("cannot select element " + std::to_string(element));
        const int scans = settings.one_scan_each ? 1 : plan.scans_of(element);
        set_current_element(element);
        set_current_scan(1, scans);
        fill_sequence_variables(element, 0);
        if (std::string broken = check_sequence_variables(); !broken.empty())
            return fail(location() + ": " + broken);

        const bool visible =
            settings.traced && (settings.shown_element == 0 || settings.shown_element == element);
        psgacq_set_trace(visible ? stdout : nullptr);
        psgacq_begin_described_element(element, elements, description_of(element).c_str());
        if (element == 1 && plan.steady_state > 0 && !settings.one_scan_each)
            psgacq_note(("steady state: " + std::to_string(plan.steady_state) +
                         " scan" + (plan.steady_state == 1 ? "" : "s") +
                         " before the first, each as long as scan 1, not acquired")
                            .c_str());
        for (int scan = 1; scan <= scans; ++scan) {
            if (scan > 1) {
                set_current_scan(scan, scans);
                fill_sequence_variables(element, scan - 1);
            }
            psgacq_begin_scan(scan, scans, scan == settings.shown_scan);
            call_sequence(Rendition::Run);
            psgacq_end_scan();
        }
        psgacq_end_element();
        add_element(plan, element, settings.one_scan_each, totals);
    }
    psgacq_set_trace(nullptr);
    totals.steady_state_time = plan.steady_state * totals.first_scan_time;
    return true;
}

} // namespace psg
