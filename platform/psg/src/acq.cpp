// The events of an experiment, kept per element as the caller chose, with the
// trace as they come.  Scans after an element's first are held until they
// end, so that a scan that changed only phases becomes one line.
#include "psgacq.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "acq_scan_compare.h"

namespace {

struct Element {
    int number = 0;
    bool kept = false; // its events are kept (and all of them fitted)
    std::vector<psgacq_event> events;
    psgacq_summary summary{};
    psgacq_totals totals{};
};

// Every element begun under PSGACQ_KEEP_ALL; otherwise at most the kept one
// and the one in progress, so that memory does not grow with the elements.
std::vector<Element> elements;
int keep = PSGACQ_KEEP_ALL;
int element_count = 0;
bool tracking = false;      // elements.back() is the element in progress
FILE *trace = nullptr;
bool header_traced = false; // a blank line goes between traced elements

// The scan in progress.  Scan 0: the caller begun none, and the element is
// one scan traced as its events come.
struct Scan {
    int number = 0;
    int count = 1;
    bool in_full = true;
    int kept = 1;                     // the scan whose events and summary the element keeps
    psgacq_summary summary{};
    std::vector<psgacq_event> first;  // scan 1, when there are more to compare with it
    std::vector<psgacq_event> held;   // a later scan not traced in full, until it ends
    bool compare = true;              // false once memory ran short: later scans in full
};
Scan scan;
int kept_scan = 1;

void add_to_summary(psgacq_summary &sum, const psgacq_event &event)
{
    const double *r = event.real;
    switch (event.kind) {
    case PSGACQ_DELAY:
        sum.delay_time += r[0];
        break;
    case PSGACQ_PULSE:
        sum.pulses += 1;
        sum.pulse_time += r[1] + r[0] + r[2];
        break;
    case PSGACQ_PULSE_PAIR:
        sum.pulses += 2;
        sum.pulse_time += r[2] + std::max(r[0], r[1]) + r[3];
        break;
    case PSGACQ_ACQUIRE:
        sum.acquisitions += 1;
        // np counts real and imaginary points: np / 2 complex points.
        sum.acquire_time += r[0] / 2.0 * r[1];
        break;
    default:
        return;
    }
    sum.total_time = sum.delay_time + sum.pulse_time + sum.acquire_time;
}

const Element *element_at(int element)
{
    for (auto at = elements.rbegin(); at != elements.rend(); ++at)
        if (at->number == element)
            return &*at;
    return nullptr;
}

// Only what was asked for stays: the element just finished goes unless it is
// the one kept.
void forget_finished()
{
    if (keep != PSGACQ_KEEP_ALL && !elements.empty() && elements.back().number != keep)
        elements.pop_back();
}

void trace_event(const psgacq_event &event)
{
    if (trace == nullptr)
        return;
    char line[512];
    psgacq_format_event(&event, line, sizeof line);
    std::fprintf(trace, "  %s\n", line);
    std::fflush(trace); // so that the sequence's own messages stay in place
}

bool keeps_events()
{
    return tracking && elements.back().kept && (scan.number == 0 || scan.number == scan.kept);
}

void keep_event(const psgacq_event &event)
{
    Element &current = elements.back();
    try {
        current.events.push_back(event);
    } catch (const std::bad_alloc &) {
        // A partial element would draw as a wrong one: none at all.
        current.kept = false;
        std::vector<psgacq_event>().swap(current.events);
    }
}

// Held for comparison with scan 1; without room, the scan is traced in full.
bool hold(std::vector<psgacq_event> &list, const psgacq_event &event)
{
    if (!scan.compare)
        return false;
    try {
        list.push_back(event);
        return true;
    } catch (const std::bad_alloc &) {
        scan.compare = false;
        return false;
    }
}

void trace_held_in_full(const char *why)
{
    if (trace != nullptr) {
        std::fprintf(trace, "scan %d of %d%s\n", scan.number, scan.count, why);
        for (const psgacq_event &event : scan.held)
            trace_event(event);
    }
    scan.held.clear();
    scan.in_full = true;
}

} // namespace

extern "C" void psgacq_set_trace(FILE *stream)
{
    trace = stream;
}

extern "C" void psgacq_begin_element(int element, int count)
{
    psgacq_begin_labelled_element(element, count, nullptr);
}

extern "C" void psgacq_keep(int element)
{
    keep = element < PSGACQ_KEEP_NONE ? PSGACQ_KEEP_NONE : element;
}

extern "C" void psgacq_keep_scan(int number)
{
    kept_scan = number < 1 ? 1 : number;
}

extern "C" void psgacq_begin_labelled_element(int element, int count, const char *values)
{
    if (values == nullptr || *values == '\0') {
        psgacq_begin_described_element(element, count, nullptr);
        return;
    }
    std::string lines = std::string("arrayed: ") + values + "\n";
    psgacq_begin_described_element(element, count, lines.c_str());
}

extern "C" void psgacq_begin_described_element(int element, int count, const char *lines)
{
    if (element <= 1) {
        elements.clear();
        elements.shrink_to_fit();
        header_traced = false;
    } else {
        forget_finished();
    }
    scan = Scan{};
    tracking = false;
    try {
        elements.emplace_back();
        Element &begun = elements.back();
        begun.number = element;
        begun.kept = keep == PSGACQ_KEEP_ALL || keep == element;
        tracking = true;
    } catch (const std::bad_alloc &) {
        // No room to remember it: it is traced without its summary.
    }
    element_count = count;
    if (trace != nullptr) {
        if (header_traced)
            std::fputc('\n', trace);
        header_traced = true;
        std::fprintf(trace, "element %d of %d\n", element, count);
        if (lines != nullptr)
            std::fputs(lines, trace);
    }
}

extern "C" void psgacq_note(const char *line)
{
    if (trace != nullptr && line != nullptr)
        std::fprintf(trace, "%s\n", line);
}

extern "C" void psgacq_begin_scan(int number, int count, int in_full)
{
    if (count < 1)
        count = 1;
    if (number < 1 || number > count)
        number = 1;
    if (number == 1) {
        std::vector<psgacq_event>().swap(scan.first);
        scan.compare = true;
    }
    scan.number = number;
    scan.count = count;
    scan.kept = kept_scan <= count ? kept_scan : 1;
    scan.in_full = number == 1 || in_full != 0 || !scan.compare;
    scan.summary = psgacq_summary{};
    scan.held.clear();
    if (trace != nullptr && count > 1 && scan.in_full)
        std::fprintf(trace, "scan %d of %d\n", number, count);
}

extern "C" void psgacq_send(const psgacq_event *event)
{
    if (event == nullptr)
        return;
    if (elements.empty())
        psgacq_begin_element(1, 1);
    if (keeps_events())
        keep_event(*event);
    if (tracking)
        add_to_summary(scan.number == 0 ? elements.back().summary : scan.summary, *event);
    if (trace == nullptr)
        return;
    if (scan.number == 1 && scan.count > 1)
        hold(scan.first, *event);
    if (event->kind == PSGACQ_ABORT)
        psgacq_flush_scan();
    if (!scan.in_full && !hold(scan.held, *event))
        trace_held_in_full(", traced in full");
    if (scan.in_full)
        trace_event(*event);
}

extern "C" void psgacq_flush_scan(void)
{
    if (!scan.in_full)
        trace_held_in_full(", cut short");
    if (trace != nullptr)
        std::fflush(trace);
}

extern "C" void psgacq_end_scan(void)
{
    if (scan.number == 0)
        return;
    if (tracking) {
        Element &current = elements.back();
        psgacq_totals &totals = current.totals;
        totals.scans += 1;
        totals.total_time += scan.summary.total_time;
        if (scan.number == 1)
            totals.first_scan_time = scan.summary.total_time;
        if (scan.number == scan.kept)
            current.summary = scan.summary;
    }
    if (!scan.in_full && trace != nullptr) {
        if (psg::differs_only_in_phases(scan.first, scan.held)) {
            if (trace != nullptr)
                std::fprintf(trace, "scan %d of %d: %s\n", scan.number, scan.count,
                             psg::phase_changes(scan.first, scan.held).c_str());
            scan.held.clear();
        } else {
            trace_held_in_full(", unlike scan 1");
        }
    }
    if (trace != nullptr)
        std::fflush(trace);
}

extern "C" void psgacq_end_element(void)
{
    if (!tracking)
        return;
    Element &current = elements.back();
    if (scan.number == 0) // one scan, never begun as such
        current.totals = {1, current.summary.total_time, current.summary.total_time};
    if (trace == nullptr)
        return;
    const psgacq_summary &s = current.summary;
    std::fprintf(trace,
                 "summary: %d pulse%s, %d acquisition%s; delays %.9g s, pulses %.9g s, "
                 "acquisitions %.9g s; total %.9g s\n",
                 s.pulses, s.pulses == 1 ? "" : "s", s.acquisitions,
                 s.acquisitions == 1 ? "" : "s", s.delay_time, s.pulse_time, s.acquire_time,
                 s.total_time);
    if (current.totals.scans > 1)
        std::fprintf(trace, "scans: %d, total %.9g s\n", current.totals.scans,
                     current.totals.total_time);
    std::fflush(trace);
}

extern "C" size_t psgacq_element_events(int element, const psgacq_event **events)
{
    const Element *found = element_at(element);
    if (found == nullptr || !found->kept)
        return 0;
    if (events != nullptr)
        *events = found->events.data();
    return found->events.size();
}

extern "C" int psgacq_element_summary(int element, psgacq_summary *summary)
{
    const Element *found = element_at(element);
    if (found == nullptr)
        return -1;
    if (summary != nullptr)
        *summary = found->summary;
    return 0;
}

extern "C" int psgacq_element_totals(int element, psgacq_totals *totals)
{
    const Element *found = element_at(element);
    if (found == nullptr)
        return -1;
    if (totals != nullptr)
        *totals = found->totals;
    return 0;
}
