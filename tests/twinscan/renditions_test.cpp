// The two display renditions against the recording library: the exact text
// records and timing events, in the order of the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "recording_psg.h"

namespace {

using recording::exact;
using recording::library;
using Calls = std::vector<std::string>;

class Renditions : public ::testing::Test {
protected:
    void SetUp() override
    {
        recording::reset();
        // Values whose single-precision form shows in nine decimals.
        d1 = 1.1;
        tpwr = 56.3;
    }

    static void mode(const char *letter) { library().texts["mrmode"] = letter; }

    static std::string text_records()
    {
        ::testing::internal::CaptureStdout();
        x_pulsesequence();
        ::testing::internal::GetCapturedStdout();
        return library().records;
    }

    static Calls timing_events()
    {
        ::testing::internal::CaptureStdout();
        t_pulsesequence();
        ::testing::internal::GetCapturedStdout();
        return library().timing;
    }
};

const std::string kPreparation = "87 status  0 1 0 A 0 \n"
                                 "10 delay  1 0 1 1.0e-4 0.000100000 \n"
                                 "60 decpower  2 0 1 pwxlvl 48.000000000 \n"
                                 "60 obspower  1 0 1 tpwr 56.299999237 \n"
                                 "10 delay  1 0 1 d1 1.100000024 \n"
                                 "87 status  0 1 0 B 1 \n";
const std::string kFirstScan =
    "48 rgpulse  1 0 1 1 rof1 0.000010000 rof2 0.000004000  1 oph 0 pw 0.000009500 \n"
    "163 setactivercvrs  1 0 0 yn ?yn \n"
    "137 startacq  1 0 1 alfa 0.000006000 \n"
    "1 acquire  1 0 2 np 16384.000000000 1.0/sw 0.000125000 \n"
    "12 endacq  0 0 0 \n"
    "10 delay  1 0 1 1.0e-6 0.000001000 \n";
const std::string kSecondPulse =
    "10 delay  1 0 1 d2 0.002500000 \n"
    "48 decrgpulse  1 0 1 1 rof1 0.000010000 rof2 0.000004000  2 oph 0 pwx 0.000012500 \n"
    "87 status  0 1 0 C 2 \n";
const std::string kSecondScan = "163 setactivercvrs  1 0 0 ny ?ny \n"
                                "137 startacq  1 0 1 alfa 0.000006000 \n"
                                "1 acquire  1 0 2 np 16384.000000000 1.0/sw 0.000125000 \n"
                                "12 endacq  0 0 0 \n";

size_t lines(const std::string &text)
{
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(Renditions, SequentialTextRecords)
{
    std::string records = text_records();
    EXPECT_EQ(records, kPreparation + kFirstScan + kSecondPulse + kSecondScan);
    EXPECT_EQ(lines(records), 19u);
    EXPECT_EQ(recording::calls_named("dps_").size(), 0u);
}

TEST_F(Renditions, DecoupledTextRecordsWithTheWaveformDrawings)
{
    mode("d");
    std::string records = text_records();
    EXPECT_EQ(records, kPreparation + kFirstScan + "2 obsunblank  1 1 0 on 1 \n" + kSecondPulse +
                           kSecondScan + "2 obsblank  1 1 0 on 0 \n");
    EXPECT_EQ(lines(records), 21u);

    Calls drawn = library().calls;
    auto at = [&](const std::string &call) {
        return std::find(drawn.begin(), drawn.end(), call) - drawn.begin();
    };
    auto unblank = at("DPSprint(0) 2 obsunblank  1 1 0 on 1 \n");
    auto on = at("dps_wavl_xmtron(wavl_xmtron, 1, kirtaW16, &H1dec)");
    auto off = at("dps_wavl_xmtroff(wavl_xmtroff, 1)");
    auto blank = at("DPSprint(0) 2 obsblank  1 1 0 on 0 \n");
    EXPECT_EQ(on, unblank + 1);
    EXPECT_EQ(blank, off + 1);
    EXPECT_EQ(static_cast<size_t>(blank), drawn.size() - 1);
    EXPECT_EQ(recording::calls_named("wavl_mix").size(), 1u);
}

TEST_F(Renditions, ParallelTextRecords)
{
    mode("x");
    std::string records = text_records();
    EXPECT_EQ(records, kPreparation +
                           "10 delay  1 0 1 d2 0.002500000 \n"
                           "82 simpulse  2 0 1 1 rof1 0.000010000 rof2 0.000004000  1 oph 0 pw "
                           "0.000009500  2 oph 0 pwx 0.000012500 \n"
                           "87 status  0 1 0 C 2 \n");
    EXPECT_EQ(lines(records), 9u);
}

TEST_F(Renditions, PairRecordNamesChannelsOneAndTwo)
{
    mode("p");
    OBSch = 3;
    DECch = 4;
    oph = 1;
    EXPECT_NE(text_records().find(" 1 oph 1 pw 0.000009500  2 oph 1 pwx "), std::string::npos);
}

TEST_F(Renditions, RecordTimesCarryFullPrecision)
{
    text_records();
    Calls times;
    for (const std::string &call : recording::calls_named("DPSprint("))
        times.push_back(call.substr(0, call.find(')') + 1));
    auto t = [](double value) { return "DPSprint(" + exact(value) + ")"; };
    EXPECT_EQ(times, (Calls{t(0), t(1.0e-4), t(0), t(0), t(1.1), t(0), t(9.5e-6), t(0), t(0),
                            t(1.0 / 8000), t(0), t(1.0e-6), t(2.5e-3), t(12.5e-6), t(0), t(0),
                            t(0), t(1.0 / 8000), t(0)}));
}

std::string event(int code)
{
    return "DPStimer(" + std::to_string(code) + ", 0, 0, 0)";
}

std::string event(int code, std::initializer_list<double> reals)
{
    std::string call = "DPStimer(" + std::to_string(code) + ", 0, 0, " +
                       std::to_string(reals.size()) + ", 0, 0, 0, 0";
    for (double r : reals)
        call += ", " + exact(r);
    return call + ")";
}

Calls sequential_events(bool decoupled)
{
    Calls events{event(87), event(10, {1.0e-4}), event(60), event(60), event(10, {1.1}),
                 event(87), event(48, {9.5e-6, 10e-6, 4e-6}), event(163), event(137),
                 event(1, {16384, 1.0 / 8000}), event(12), event(10, {1.0e-6})};
    if (decoupled)
        events.push_back(event(2));
    for (const std::string &e :
         {event(10, {2.5e-3}), event(48, {12.5e-6, 10e-6, 4e-6}), event(87), event(163),
          event(137), event(1, {16384, 1.0 / 8000}), event(12)})
        events.push_back(e);
    if (decoupled)
        events.push_back(event(2));
    return events;
}

TEST_F(Renditions, TimingEventsOfTheSequentialModes)
{
    EXPECT_EQ(timing_events(), sequential_events(false));
    recording::reset();
    d1 = 1.1;
    mode("d");
    Calls events = timing_events();
    EXPECT_EQ(events, sequential_events(true));
    EXPECT_EQ(events.size(), 21u);
    EXPECT_EQ(recording::calls_named("dps_wavl").size(), 2u);
}

TEST_F(Renditions, TimingEventsOfTheParallelMode)
{
    mode("p");
    EXPECT_EQ(timing_events(),
              (Calls{event(87), event(10, {1.0e-4}), event(60), event(60), event(10, {1.1}),
                     event(87), event(10, {2.5e-3}),
                     event(82, {9.5e-6, 12.5e-6, 0.0, 0.0, 10e-6, 4e-6}), event(87)}));
}

TEST_F(Renditions, BothRenditionsCheckAndReadLikeTheRun)
{
    for (void (*rendition)() : {&t_pulsesequence, &x_pulsesequence}) {
        recording::reset();
        std::strcpy(dm, "nnny");
        library().texts["rcvrs"] = "y";
        ::testing::internal::CaptureStdout();
        rendition();
        EXPECT_EQ(::testing::internal::GetCapturedStdout(),
                  "rcvrs parameter should be set to 'yy'\n"
                  "dm should be set to 'nnnn' and homo should set to 'n'");
        EXPECT_EQ(library().calls, (Calls{"getval(pwx)", "getval(pwxlvl)", "getstr(rcvrs)",
                                          "getstr(mrmode)", "psg_abort(1)"}));
    }
}

} // namespace
