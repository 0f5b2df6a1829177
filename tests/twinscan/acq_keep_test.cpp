// Which elements the acquisition companion keeps: all, one or none, with the
// same trace whatever it keeps.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "psgacq.h"

namespace {

psgacq_event delay_of(double time)
{
    psgacq_event event;
    std::memset(&event, 0, sizeof event);
    event.kind = PSGACQ_DELAY;
    event.real[0] = time;
    return event;
}

// Three elements; element i sends i delays of i seconds.  Returns the trace.
std::string three_elements(int keep)
{
    char *text = nullptr;
    size_t size = 0;
    FILE *trace = open_memstream(&text, &size);
    psgacq_keep(keep);
    psgacq_set_trace(trace);
    for (int element = 1; element <= 3; ++element) {
        psgacq_begin_element(element, 3);
        for (int i = 0; i < element; ++i) {
            psgacq_event event = delay_of(element);
            psgacq_send(&event);
        }
        psgacq_end_element();
    }
    psgacq_set_trace(nullptr);
    std::fclose(trace);
    std::string copy(text, size);
    std::free(text);
    return copy;
}

size_t events_of(int element)
{
    return psgacq_element_events(element, nullptr);
}

TEST(AcqKeep, EveryElementByDefaultOneOrNoneWhenAsked)
{
    const std::string all = three_elements(PSGACQ_KEEP_ALL);
    EXPECT_EQ(events_of(1), 1u);
    EXPECT_EQ(events_of(2), 2u);
    EXPECT_EQ(events_of(3), 3u);
    psgacq_summary summary{};
    EXPECT_EQ(psgacq_element_summary(1, &summary), 0);
    EXPECT_DOUBLE_EQ(summary.delay_time, 1.0);

    EXPECT_EQ(three_elements(2), all) << "the trace does not depend on what is kept";
    EXPECT_EQ(events_of(1), 0u);
    const psgacq_event *events = nullptr;
    ASSERT_EQ(psgacq_element_events(2, &events), 2u);
    EXPECT_DOUBLE_EQ(events[1].real[0], 2.0);
    EXPECT_EQ(events_of(3), 0u);
    EXPECT_EQ(psgacq_element_summary(1, nullptr), -1) << "forgotten";
    EXPECT_EQ(psgacq_element_summary(2, &summary), 0);
    EXPECT_DOUBLE_EQ(summary.delay_time, 4.0);
    EXPECT_EQ(psgacq_element_summary(3, &summary), 0) << "the last element has its summary";
    EXPECT_DOUBLE_EQ(summary.delay_time, 9.0);

    EXPECT_EQ(three_elements(PSGACQ_KEEP_NONE), all);
    for (int element = 1; element <= 3; ++element)
        EXPECT_EQ(events_of(element), 0u) << element;
    EXPECT_EQ(psgacq_element_summary(2, nullptr), -1);
    EXPECT_EQ(psgacq_element_summary(3, nullptr), 0);

    // A kept element beyond the experiment keeps nothing; the default returns.
    three_elements(7);
    EXPECT_EQ(events_of(3), 0u);
    three_elements(PSGACQ_KEEP_ALL);
    EXPECT_EQ(events_of(1) + events_of(2) + events_of(3), 6u);
}

} // namespace
