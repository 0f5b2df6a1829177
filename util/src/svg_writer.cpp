#include "psenv_util/svg_writer.h"

#include <cstdio>

namespace psenv::util {
namespace {

// At most two decimals, without trailing zeros: "12", "0.5", "3.25".
std::string number(double value)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", value);
    std::string text = buf;
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text;
}

}  // namespace

SvgWriter::SvgWriter(double width, double height)
{
    body_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(width) +
            "\" height=\"" + number(height) + "\" viewBox=\"0 0 " + number(width) + " " +
            number(height) + "\" font-family=\"sans-serif\" shape-rendering=\"crispEdges\">\n";
    rect(0, 0, width, height, "#ffffff");
}

void SvgWriter::rect(double x, double y, double w, double h, std::string_view fill,
                     double opacity)
{
    body_ += "<rect x=\"" + number(x) + "\" y=\"" + number(y) + "\" width=\"" + number(w) +
             "\" height=\"" + number(h) + "\" fill=\"" + std::string(fill) + "\"";
    if (opacity < 1.0)
        body_ += " fill-opacity=\"" + number(opacity) + "\"";
    body_ += "/>\n";
}

void SvgWriter::line(double x1, double y1, double x2, double y2, std::string_view stroke)
{
    body_ += "<line x1=\"" + number(x1) + "\" y1=\"" + number(y1) + "\" x2=\"" + number(x2) +
             "\" y2=\"" + number(y2) + "\" stroke=\"" + std::string(stroke) + "\"/>\n";
}

void SvgWriter::text(double x, double y, std::string_view content, std::string_view anchor,
                     int size, bool rotated)
{
    body_ += "<text x=\"";  // kept apart: a false -Wrestrict from g++ 12 at -O3
    body_ += number(x) + "\" y=\"" + number(y) + "\" font-size=\"" +
             std::to_string(size) + "\" text-anchor=\"" + std::string(anchor) + "\"";
    if (rotated)
        body_ += " transform=\"rotate(-90 " + number(x) + " " + number(y) + ")\"";
    // Appended piece by piece: "literal" + a temporary string sets off a
    // false -Wrestrict of g++ 12 at -O3.
    body_ += '>';
    body_ += svg_text(content);
    body_ += "</text>\n";
}

void SvgWriter::raw(std::string_view markup)
{
    body_.append(markup);
    body_ += '\n';
}

std::string SvgWriter::finish() const
{
    return body_ + "</svg>\n";
}

}  // namespace psenv::util
