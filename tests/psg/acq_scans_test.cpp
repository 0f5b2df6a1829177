// The acquisition companion's scans: the first in full, the others as one
// line of the phases that changed, in full when they differ in more, and
// whatever a scan holds back shown when the run ends inside it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "psgacq.h"

namespace {

psgacq_event pulse(int phase, const char *table = "")
{
    psgacq_event event;
    std::memset(&event, 0, sizeof event);
    event.kind = PSGACQ_PULSE;
    event.real[0] = 1e-5;
    event.integer[0] = phase;
    event.integer[1] = 1;
    std::snprintf(event.text, sizeof event.text, "%s", table);
    return event;
}

psgacq_event of_kind(psgacq_kind kind, int integer = 0, double real = 0.0)
{
    psgacq_event event;
    std::memset(&event, 0, sizeof event);
    event.kind = kind;
    event.integer[0] = integer;
    event.real[0] = real;
    return event;
}

class Scans : public ::testing::Test {
protected:
    void SetUp() override
    {
        stream_ = open_memstream(&text_, &size_);
        psgacq_keep(PSGACQ_KEEP_ALL);
        psgacq_keep_scan(1);
        psgacq_set_trace(stream_);
        psgacq_begin_element(1, 1);
    }
    void TearDown() override
    {
        psgacq_set_trace(nullptr);
        std::fclose(stream_);
        std::free(text_);
    }
    std::string trace()
    {
        std::fflush(stream_);
        return std::string(text_, size_);
    }
    static void send(const psgacq_event &event) { psgacq_send(&event); }

    FILE *stream_ = nullptr;
    char *text_ = nullptr;
    size_t size_ = 0;
};

TEST_F(Scans, LaterScansBecomeOneLineOfTheirChangedPhases)
{
    for (int scan = 1; scan <= 4; ++scan) {
        psgacq_begin_scan(scan, 4, 0);
        send(pulse(scan == 3 ? 2 : 0, "ph1"));
        send(pulse(scan == 2 ? 1 : 0)); // a fixed phase that changed
        send(of_kind(PSGACQ_DELAY, 0, 0.5));
        psgacq_event receiver = of_kind(PSGACQ_RECEIVER_PHASE, scan == 3 ? 2 : 0);
        std::snprintf(receiver.text, sizeof receiver.text, "rec");
        send(receiver);
        psgacq_end_scan();
    }
    psgacq_end_element();
    EXPECT_EQ(trace(), "element 1 of 1\n"
                       "scan 1 of 4\n"
                       "  genRFPulse(1e-05, 0, 0, 0, 1)\n"
                       "  genRFPulse(1e-05, 0, 0, 0, 1)\n"
                       "  delay(0.5)\n"
                       "  receiverphase(0)\n"
                       "scan 2 of 4: pulse 2=1\n"
                       "scan 3 of 4: ph1=2, rec=2\n"
                       "scan 4 of 4: phases as scan 1\n"
                       "summary: 2 pulses, 0 acquisitions; delays 0.5 s, pulses 2e-05 s, "
                       "acquisitions 0 s; total 0.50002 s\n"
                       "scans: 4, total 2.00008 s\n");
    psgacq_totals totals{};
    ASSERT_EQ(psgacq_element_totals(1, &totals), 0);
    EXPECT_EQ(totals.scans, 4);
    EXPECT_DOUBLE_EQ(totals.first_scan_time, 0.50002);
    EXPECT_DOUBLE_EQ(totals.total_time, 4 * 0.50002);
}

TEST_F(Scans, AScanThatDiffersInMoreThanPhasesIsTracedInFull)
{
    psgacq_begin_scan(1, 2, 0);
    send(of_kind(PSGACQ_DELAY, 0, 1.0));
    psgacq_end_scan();
    psgacq_begin_scan(2, 2, 0);
    send(of_kind(PSGACQ_DELAY, 0, 2.0));
    psgacq_end_scan();
    psgacq_end_element();
    EXPECT_NE(trace().find("scan 2 of 2, unlike scan 1\n  delay(2)\n"), std::string::npos)
        << trace();
}

TEST_F(Scans, TheScanAskedForIsTracedAndKeptInFull)
{
    psgacq_keep_scan(2);
    for (int scan = 1; scan <= 3; ++scan) {
        psgacq_begin_scan(scan, 3, scan == 2);
        send(pulse(scan - 1));
        psgacq_end_scan();
    }
    psgacq_end_element();
    EXPECT_NE(trace().find("scan 2 of 3\n  genRFPulse(1e-05, 1, 0, 0, 1)\nscan 3 of 3: pulse 1=2\n"),
              std::string::npos)
        << trace();
    const psgacq_event *events = nullptr;
    ASSERT_EQ(psgacq_element_events(1, &events), 1u) << "the events of scan 2 alone";
    EXPECT_EQ(events[0].integer[0], 1);
}

TEST_F(Scans, WhatAScanHeldBackIsShownWhenTheRunEndsInIt)
{
    psgacq_begin_scan(1, 3, 0);
    send(of_kind(PSGACQ_DELAY, 0, 1.0));
    psgacq_end_scan();
    psgacq_begin_scan(2, 3, 0);
    send(of_kind(PSGACQ_DELAY, 0, 1.0));
    send(of_kind(PSGACQ_ABORT, 1));
    EXPECT_NE(trace().find("scan 2 of 3, cut short\n  delay(1)\n  psg_abort(1)\n"),
              std::string::npos)
        << trace();

    psgacq_begin_element(2, 2);
    psgacq_begin_scan(1, 2, 0);
    psgacq_end_scan();
    psgacq_begin_scan(2, 2, 0);
    send(of_kind(PSGACQ_DELAY, 0, 3.0));
    psgacq_flush_scan(); // a check about to end the run
    EXPECT_NE(trace().find("scan 2 of 2, cut short\n  delay(3)\n"), std::string::npos);
}

} // namespace
