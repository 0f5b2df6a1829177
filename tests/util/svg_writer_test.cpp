// SVG text from any bytes, and the documents of the writer.
#include <gtest/gtest.h>

#include <string>

#include "psenv_util/svg_writer.h"

namespace {

using psenv::util::svg_text;
using psenv::util::SvgWriter;

const std::string kFFFD = "\xEF\xBF\xBD";

TEST(SvgText, MarkupCharactersBecomeEntities)
{
    EXPECT_EQ(svg_text("a<b>&\"c\" 'd'"), "a&lt;b&gt;&amp;&quot;c&quot; 'd'");
    EXPECT_EQ(svg_text("&amp;"), "&amp;amp;") << "an entity in the text is text";
    EXPECT_EQ(svg_text(""), "");
}

TEST(SvgText, EveryByteOutsideWellFormedUtf8BecomesOneReplacement)
{
    // Latin-1, a stray continuation byte, a lead byte before a blank.
    EXPECT_EQ(svg_text("caf\xE9 \x80 \xC3 x"), "caf" + kFFFD + " " + kFFFD + " " + kFFFD + " x");
    // Overlong '/', a surrogate, beyond U+10FFFF, a cut sequence at the end.
    EXPECT_EQ(svg_text("\xC0\xAF"), kFFFD + kFFFD);
    EXPECT_EQ(svg_text("\xED\xA0\x80"), kFFFD + kFFFD + kFFFD);
    EXPECT_EQ(svg_text("\xF4\x90\x80\x80"), kFFFD + kFFFD + kFFFD + kFFFD);
    EXPECT_EQ(svg_text("\xE2\x82"), kFFFD + kFFFD);
    EXPECT_EQ(svg_text("\xF8\x88\x80\x80\x80"), kFFFD + kFFFD + kFFFD + kFFFD + kFFFD);
    // Well-formed text of every length stays, the highest code point too.
    const std::string kept = "\xC2\xB5s \xE2\x80\x94 \xF0\x9F\x8E\xB5 \xF4\x8F\xBF\xBF " + kFFFD;
    EXPECT_EQ(svg_text(kept), kept);
}

// One rule: what XML 1.0 does not allow, and line breaks (a text element is
// one line), becomes U+FFFD; the tab and DEL stay.
TEST(SvgText, ControlsAndNoncharactersBecomeReplacements)
{
    EXPECT_EQ(svg_text(std::string("a\0b", 3)), "a" + kFFFD + "b");
    EXPECT_EQ(svg_text("\x01|\x1b[2J|\n|\r|\x1f"),
              kFFFD + "|" + kFFFD + "[2J|" + kFFFD + "|" + kFFFD + "|" + kFFFD);
    EXPECT_EQ(svg_text("a\tb\x7f"), "a\tb\x7f");
    EXPECT_EQ(svg_text("\xEF\xBF\xBE\xEF\xBF\xBF"), kFFFD + kFFFD);
    EXPECT_EQ(svg_text("\xEF\xBF\xBC"), "\xEF\xBF\xBC") << "U+FFFC is a character";
}

// The bytes the schedule pictures are made of.
TEST(SvgWriter, WritesAWholeDocument)
{
    SvgWriter svg(100, 50.5);
    svg.rect(1, 2.25, 3.5, 4, "#123456", 0.333);
    svg.rect(0, 0, 1, 1, "red", 1.0);
    svg.line(0, 0.1, 10.005, 20, "#000");
    svg.text(5, 6, "a<\x01\xFF", "end", 11, true);
    svg.text(7, 8, "plain", "start");
    svg.raw("<circle r=\"2\"/>");
    EXPECT_EQ(svg.finish(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"50.5\" "
              "viewBox=\"0 0 100 50.5\" font-family=\"sans-serif\" "
              "shape-rendering=\"crispEdges\">\n"
              "<rect x=\"0\" y=\"0\" width=\"100\" height=\"50.5\" fill=\"#ffffff\"/>\n"
              "<rect x=\"1\" y=\"2.25\" width=\"3.5\" height=\"4\" fill=\"#123456\" "
              "fill-opacity=\"0.33\"/>\n"
              "<rect x=\"0\" y=\"0\" width=\"1\" height=\"1\" fill=\"red\"/>\n"
              "<line x1=\"0\" y1=\"0.1\" x2=\"10.01\" y2=\"20\" stroke=\"#000\"/>\n"
              "<text x=\"5\" y=\"6\" font-size=\"11\" text-anchor=\"end\" "
              "transform=\"rotate(-90 5 6)\">a&lt;" + kFFFD + kFFFD + "</text>\n"
              "<text x=\"7\" y=\"8\" font-size=\"12\" text-anchor=\"start\">plain</text>\n"
              "<circle r=\"2\"/>\n"
              "</svg>\n");
    EXPECT_EQ(svg.finish(), svg.finish()) << "finishing twice gives the same document";
}

}  // namespace
