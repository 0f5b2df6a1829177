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

psg::DiagramNames names()
{
    return {1.0, 2.5e-3, 9.5e-6, 12.5e-6, 1};
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
    for (const char *label : {">A<", ">B<", ">C<", ">d1 1 s<", ">d2 2.5 ms<", ">pw 9.5 \xC2\xB5s<",
                              ">pwx 12.5 \xC2\xB5s<", "WALTZ16 decoupling (kirtaW16)"})
        EXPECT_NE(svg.find(label), std::string::npos) << label;
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
    psg::DiagramNames n = names();
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
