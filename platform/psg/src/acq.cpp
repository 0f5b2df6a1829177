// The events of an experiment, kept per element as the caller chose, with the
// trace as they come.
#include "psgacq.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace {

struct Element {
    int number = 0;
    bool kept = false; // its events are kept (and all of them fitted)
    std::vector<psgacq_event> events;
    psgacq_summary summary{};
};

// Every element begun under PSGACQ_KEEP_ALL; otherwise at most the kept one
// and the one in progress, so that memory does not grow with the elements.
std::vector<Element> elements;
int keep = PSGACQ_KEEP_ALL;
int element_count = 0;
bool tracking = false;      // elements.back() is the element in progress
FILE *trace = nullptr;
bool header_traced = false; // a blank line goes between traced elements

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

extern "C" void psgacq_begin_labelled_element(int element, int count, const char *values)
{
    if (element <= 1) {
        elements.clear();
        elements.shrink_to_fit();
        header_traced = false;
    } else {
        forget_finished();
    }
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
        if (values != nullptr && *values != '\0')
            std::fprintf(trace, "arrayed: %s\n", values);
    }
}

extern "C" void psgacq_send(const psgacq_event *event)
{
    if (event == nullptr)
        return;
    if (elements.empty())
        psgacq_begin_element(1, 1);
    if (tracking) {
        Element &current = elements.back();
        if (current.kept) {
            try {
                current.events.push_back(*event);
            } catch (const std::bad_alloc &) {
                // A partial element would draw as a wrong one: none at all.
                current.kept = false;
                std::vector<psgacq_event>().swap(current.events);
            }
        }
        add_to_summary(current.summary, *event);
    }
    if (trace != nullptr) {
        char line[512];
        psgacq_format_event(event, line, sizeof line);
        std::fprintf(trace, "  %s\n", line);
        std::fflush(trace); // so that the sequence's own messages stay in place
    }
}

extern "C" void psgacq_end_element(void)
{
    if (trace == nullptr || !tracking)
        return;
    const psgacq_summary &s = elements.back().summary;
    std::fprintf(trace,
                 "summary: %d pulse%s, %d acquisition%s; delays %.9g s, pulses %.9g s, "
                 "acquisitions %.9g s; total %.9g s\n",
                 s.pulses, s.pulses == 1 ? "" : "s", s.acquisitions,
                 s.acquisitions == 1 ? "" : "s", s.delay_time, s.pulse_time, s.acquire_time,
                 s.total_time);
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
