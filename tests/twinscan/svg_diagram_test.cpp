// The timing diagram: a well-formed, self-contained document that draws
// what the events say.
#include <gtest/gtest.h>

#include <cstring>
#include <cctype>
#include <limits>
#include <string>
#include <vector>

#include "psgacq.h"
#include "svg_check.h"
#include "svg_diagram.h"

namespace {

psgacq_event make(psgacq_kind kind, std::initializer_list<double> reals = {},
                  std::initializer_list<int> integers = {}, const char *text = "",
                  const char *pattern = "")
{
    psgacq_event e;
    std::memset(&e, 0, sizeof e);
    e.kind = kind;
    size_t i = 0;
    for (double r : reals)
        e.real[i++] = r;
    i = 0;
    for (int n : integers)
        e.integer[i++] = n;
    std::snprintf(e.text, sizeof e.text, "%s", text);
    std::snprintf(e.pattern, sizeof e.pattern, "%s", pattern);
    return e;
}

// The events of a mode-d run.
std::vector<psgacq_event> decoupled_run()
{
    return {make(PSGACQ_STATUS, {}, {0}),
            make(PSGACQ_DELAY, {1e-4}),
            make(PSGACQ_POWER, {48}, {2}),
            make(PSGACQ_POWER, {56}, {1}),
            make(PSGACQ_DELAY, {1.0}),
            make(PSGACQ_STATUS, {}, {1}),
            make(PSGACQ_PULSE, {9.5e-6, 10e-6, 4e-6}, {0, 1}),
            make(PSGACQ_RECEIVERS, {}, {}, "yn"),
            make(PSGACQ_ACQUIRE_START, {6e-6}),
            make(PSGACQ_ACQUIRE, {16384, 1.0 / 8000}),
            make(PSGACQ_ACQUIRE_END),
            make(PSGACQ_DELAY, {1e-6}),
            make(PSGACQ_BLANKING, {}, {0, 1}),
            make(PSGACQ_WAVEFORM_ON, {40, 81e-6, 56}, {}, "kirtaW16", "WALTZ16"),
            make(PSGACQ_DELAY, {2.5e-3}),
            make(PSGACQ_PULSE, {12.5e-6, 10e-6, 4e-6}, {0, 2}),
            make(PSGACQ_STATUS, {}, {2}),
            make(PSGACQ_RECEIVERS, {}, {}, "ny"),
            make(PSGACQ_ACQUIRE, {16384, 1.0 / 8000}),
            make(PSGACQ_WAVEFORM_OFF),
            make(PSGACQ_BLANKING, {}, {1, 1})};
}

size_t occurrences(const std::string &text, const std::string &what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

psg::DiagramSettings names()
{
    return {1, "element 1"};
}

TEST(SvgDiagram, DrawsTheDecoupledRunAsATextbookDiagram)
{
    std::vector<psgacq_event> events = decoupled_run();
    std::string svg = psg::svg_diagram(events.data(), events.size(), names());
    std::string why;
    EXPECT_TRUE(well_formed(svg, why)) << why;
    EXPECT_EQ(svg.find("href"), std::string::npos) << "self-contained";

    for (const char *row : {"Observe (ch 1)", "Decoupler (ch 2)", "Receiver 1", "Receiver 2"})
        EXPECT_EQ(occurrences(svg, std::string(">") + row + "<"), 1u) << row;
    EXPECT_EQ(occurrences(svg, "class=\"pulse\""), 2u);
    EXPECT_EQ(occurrences(svg, "class=\"fid\""), 2u);
    EXPECT_EQ(occurrences(svg, "class=\"band\""), 1u);
    EXPECT_EQ(occurrences(svg, "class=\"mark\""), 3u);
    // Durations alone: the sequence named none of its events.
    for (const char *label : {">A<", ">B<", ">C<", ">1 s<", ">2.5 ms<", ">9.5 \xC2\xB5s<",
                              ">12.5 \xC2\xB5s<", "WALTZ16 decoupling (kirtaW16)",
                              ">power 48 dB<", ">power 56 dB<"})
        EXPECT_NE(svg.find(label), std::string::npos) << label;
}

// x and width of every <rect class="pulse">, in document order.
std::vector<std::pair<double, double>> pulse_boxes(const std::string &svg)
{
    std::vector<std::pair<double, double>> boxes;
    for (size_t at = svg.find("class=\"pulse\""); at != std::string::npos;
         at = svg.find("class=\"pulse\"", at + 1)) {
        size_t start = svg.rfind("<rect", at);
        double x = 0, w = 0;
        std::sscanf(svg.c_str() + svg.find("x=\"", start) + 3, "%lf", &x);
        std::sscanf(svg.c_str() + svg.find("width=\"", start) + 7, "%lf", &w);
        boxes.emplace_back(x, w);
    }
    return boxes;
}

// The fault that was: a 1H 180 (2 pw = 20 us) on the observe channel read
// "pwx 20 us" because pwx happened to be 20 us, and t1/2 delays read "d2".
TEST(SvgDiagram, LabelsAreTheSequencesNamesOrDurationsNeverAGuess)
{
    std::vector<psgacq_event> events = {
        make(PSGACQ_PULSE, {10e-6, 0, 0}, {0, 1}),
        make(PSGACQ_LABEL, {}, {}, "t1/2"),
        make(PSGACQ_DELAY, {125e-6}),
        make(PSGACQ_PULSE, {20e-6, 0, 0}, {2, 1}), // the 180
        make(PSGACQ_DELAY, {125e-6}),              // not named: its duration
        make(PSGACQ_LABEL, {}, {}, "X 90"),
        make(PSGACQ_PULSE, {20e-6, 0, 0}, {1, 2}),
        make(PSGACQ_LABEL, {}, {}, "acq"),
        make(PSGACQ_ACQUIRE, {2048, 1.0 / 8000})};
    std::string svg = psg::svg_diagram(events.data(), events.size(), names());
    std::string why;
    EXPECT_TRUE(well_formed(svg, why)) << why;
    EXPECT_EQ(occurrences(svg, ">t1/2 125 \xC2\xB5s<"), 1u) << "a label names one event";
    EXPECT_EQ(occurrences(svg, ">125 \xC2\xB5s<"), 1u);
    EXPECT_EQ(occurrences(svg, ">20 \xC2\xB5s<"), 1u) << "the 180 by its duration";
    EXPECT_EQ(occurrences(svg, ">X 90 20 \xC2\xB5s<"), 1u);
    EXPECT_NE(svg.find(">acq: 1024 complex points, 128 ms<"), std::string::npos);
    EXPECT_EQ(svg.find("pwx"), std::string::npos);
    EXPECT_EQ(svg.find(">d2"), std::string::npos);
}

TEST(SvgDiagram, PulsesAreToScaleAmongThemselvesWhateverTheDelays)
{
    for (double delay : {1e-6, 1e-3, 2.0}) {
        std::vector<psgacq_event> events = {
            make(PSGACQ_PULSE, {9.5e-6, 0, 0}, {0, 1}), make(PSGACQ_DELAY, {delay}),
            make(PSGACQ_PULSE, {19e-6, 0, 0}, {0, 1}), make(PSGACQ_DELAY, {delay}),
            make(PSGACQ_PULSE, {28.5e-6, 0, 0}, {0, 2})};
        auto boxes = pulse_boxes(psg::svg_diagram(events.data(), events.size(), names()));
        ASSERT_EQ(boxes.size(), 3u);
        EXPECT_NEAR(boxes[1].second, 2 * boxes[0].second, 0.02) << "a 180 twice a 90";
        EXPECT_NEAR(boxes[2].second, 3 * boxes[0].second, 0.02);
        EXPECT_GE(boxes[0].second, 20.0) << "the shortest stays visible";
    }
    // A long shaped pulse does not push the page apart: it is capped, and
    // the hard pulses shrink with it.
    std::vector<psgacq_event> events = {make(PSGACQ_PULSE, {10e-6, 0, 0}, {0, 1}),
                                        make(PSGACQ_PULSE, {1e-3, 0, 0}, {0, 1})};
    auto boxes = pulse_boxes(psg::svg_diagram(events.data(), events.size(), names()));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_LE(boxes[1].second, 240.01);
    EXPECT_NEAR(boxes[1].second, 100 * boxes[0].second, 0.05);
}

TEST(SvgDiagram, PhasesAreWrittenAbovePulsesAndTheReceiver)
{
    psgacq_event from_table = make(PSGACQ_PULSE, {10e-6, 0, 0}, {2, 2}, "ph1");
    psgacq_event receiver = make(PSGACQ_RECEIVER_PHASE, {}, {2}, "rec");
    std::vector<psgacq_event> events = {
        make(PSGACQ_PULSE, {10e-6, 0, 0}, {0, 1}),  make(PSGACQ_PULSE, {10e-6, 0, 0}, {1, 1}),
        make(PSGACQ_PULSE, {10e-6, 0, 0}, {2, 1}),  make(PSGACQ_PULSE, {10e-6, 0, 0}, {7, 1}),
        from_table, receiver, make(PSGACQ_RECEIVERS, {}, {}, "y"),
        make(PSGACQ_ACQUIRE, {64, 1e-4})};
    std::string svg = psg::svg_diagram(events.data(), events.size(), names());
    const std::string minus = "\xE2\x88\x92";
    for (const std::string &phase : {std::string(">x<"), std::string(">y<"), ">" + minus + "x<",
                                     ">" + minus + "y<", std::string(">ph1<"),
                                     std::string(">receiver: rec<")})
        EXPECT_EQ(occurrences(svg, "class=\"phase\" text-anchor=\"middle\"" + phase) +
                      occurrences(svg, "class=\"phase\" text-anchor=\"start\"" + phase),
                  1u)
            << phase;
}

TEST(SvgDiagram, OnlyReceiversThatAcquireGetARowAndDecouplingItsChannelsRow)
{
    std::vector<psgacq_event> events = {
        make(PSGACQ_POWER, {40}, {2}),
        make(PSGACQ_CHANNEL_WAVEFORM_ON, {40, 70e-6, 40}, {2}, "xdec", "GARP1"),
        make(PSGACQ_RECEIVERS, {}, {}, "y"),
        make(PSGACQ_ACQUIRE, {2048, 1.0 / 8000}),
        make(PSGACQ_CHANNEL_WAVEFORM_OFF, {}, {2})};
    std::string svg = psg::svg_diagram(events.data(), events.size(), names());
    EXPECT_EQ(occurrences(svg, ">Receiver 1<"), 1u);
    EXPECT_EQ(svg.find("Receiver 2"), std::string::npos) << "never used";
    EXPECT_NE(svg.find(">power 40 dB<"), std::string::npos);
    // The band lies on the decoupler's row: between its name and the receiver's.
    auto y_of = [&](const std::string &what) {
        size_t at = svg.find(what);
        double y = -1;
        if (at != std::string::npos)
            std::sscanf(svg.c_str() + svg.find("y=\"", svg.rfind('<', at)) + 3, "%lf", &y);
        return y;
    };
    double band = y_of("class=\"band\"");
    EXPECT_GT(band, y_of(">Observe (ch 1)<"));
    EXPECT_LT(band, y_of(">Decoupler (ch 2)<"));
    EXPECT_NE(svg.find(">GARP1 decoupling (xdec)<"), std::string::npos);

    // The second receiver alone: one row, named after it.
    events[2] = make(PSGACQ_RECEIVERS, {}, {}, "ny");
    svg = psg::svg_diagram(events.data(), events.size(), names());
    EXPECT_EQ(svg.find("Receiver 1"), std::string::npos);
    EXPECT_EQ(occurrences(svg, ">Receiver 2<"), 1u);
}

TEST(SvgDiagram, OneLineTellsWhatTheStatusPeriodsAre)
{
    std::vector<psgacq_event> events = decoupled_run();
    std::string svg = psg::svg_diagram(events.data(), events.size(), names());
    EXPECT_EQ(occurrences(svg, ">Status periods A, B, C begin where the sequence calls "
                               "status(0), status(1), status(2).<"),
              1u);
}

TEST(SvgDiagram, SimultaneousPulsesShareTheirCentre)
{
    std::vector<psgacq_event> events = {
        make(PSGACQ_PULSE_PAIR, {9.5e-6, 2e-3, 10e-6, 4e-6}, {0, 0, 1, 2})};
    std::string svg = psg::svg_diagram(events.data(), events.size(), names());
    std::vector<double> centres;
    for (size_t at = svg.find("class=\"pulse\""); at != std::string::npos;
         at = svg.find("class=\"pulse\"", at + 1)) {
        size_t start = svg.rfind("<rect", at);
        double x = 0, w = 0;
        std::sscanf(svg.c_str() + svg.find("x=\"", start) + 3, "%lf", &x);
        std::sscanf(svg.c_str() + svg.find("width=\"", start) + 7, "%lf", &w);
        centres.push_back(x + w / 2);
    }
    ASSERT_EQ(centres.size(), 2u);
    EXPECT_NEAR(centres[0], centres[1], 0.01);
}

TEST(SvgDiagram, TextFromParametersIsEscaped)
{
    std::vector<psgacq_event> events = {
        make(PSGACQ_WAVEFORM_ON, {}, {}, "a<b>&\"c\x01", "p&q"), make(PSGACQ_WAVEFORM_OFF)};
    std::string svg = psg::svg_diagram(events.data(), events.size(), names());
    std::string why;
    EXPECT_TRUE(well_formed(svg, why)) << why;
    // A control byte, no character of XML 1.0, shows as U+FFFD.
    EXPECT_NE(svg.find("p&amp;q decoupling (a&lt;b&gt;&amp;&quot;c\xEF\xBF\xBD)"),
              std::string::npos);
}

// Bytes from a program's name or a sequence's texts may be in any encoding;
// one stray byte would make a viewer refuse the whole document.
TEST(SvgDiagram, TextsBecomeValidUtf8WhateverTheirBytes)
{
    psg::DiagramSettings n = names();
    n.title = "scan\xFF\xC3 \xE2\x80\x94 element 1\xEF\xBF\xBE";
    std::vector<psgacq_event> events = {
        // overlong '/', a surrogate, beyond U+10FFFF, a cut sequence; then well-formed text
        make(PSGACQ_WAVEFORM_ON, {}, {}, "\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80\xE2\x82",
             "\xC2\xB5s"),
        make(PSGACQ_WAVEFORM_OFF)};
    std::string svg = psg::svg_diagram(events.data(), events.size(), n);
    std::string why;
    EXPECT_TRUE(utf8_clean(svg, why)) << why;
    EXPECT_TRUE(well_formed(svg, why)) << why;
    const std::string replacement = "\xEF\xBF\xBD";
    // U+FFFE is UTF-8 but no character of XML.
    EXPECT_NE(svg.find(">scan" + replacement + replacement + " \xE2\x80\x94 element 1" +
                       replacement + "<"),
              std::string::npos);
    EXPECT_NE(svg.find("\xC2\xB5s decoupling ("), std::string::npos) << "well-formed text stays";
}

TEST(SvgDiagram, NonFiniteValuesNeverReachTheDocument)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<psgacq_event> events = {
        make(PSGACQ_DELAY, {inf}),          make(PSGACQ_DELAY, {nan}),
        make(PSGACQ_POWER, {nan}, {1}),     make(PSGACQ_PULSE, {-inf, nan, inf}, {0, 1}),
        make(PSGACQ_PULSE_PAIR, {nan, inf, 0, 0}, {0, 0, 1, 2}),
        make(PSGACQ_ACQUIRE, {inf, 1e-4}),  make(PSGACQ_ACQUIRE, {16384, nan})};
    std::string svg = psg::svg_diagram(events.data(), events.size(), names());
    std::string why;
    EXPECT_TRUE(well_formed(svg, why)) << why;
    // No word of the document reads "inf" or "nan", in any case.
    std::string word;
    int non_finite = 0;
    for (char c : svg + " ") {
        if (std::isalpha(static_cast<unsigned char>(c))) {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            continue;
        }
        non_finite += word == "inf" || word == "nan";
        word.clear();
    }
    EXPECT_EQ(non_finite, 0);
}

TEST(SvgDiagram, NoEventsStillMakeADocument)
{
    std::string why;
    EXPECT_TRUE(well_formed(psg::svg_diagram(nullptr, 5, names()), why)) << why;
}

} // namespace
