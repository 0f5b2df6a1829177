#include "cmd_sched_svg.h"

#include <cstdio>

namespace psenv::sched {
namespace {

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

std::string escaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            // Control characters are not allowed in XML 1.0 text.
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
                out.push_back(c);
            else
                out.push_back('?');
        }
    }
    return out;
}

}  // namespace

Svg::Svg(double width, double height)
{
    body_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(width) +
            "\" height=\"" + number(height) + "\" viewBox=\"0 0 " + number(width) + " " +
            number(height) + "\" font-family=\"sans-serif\" shape-rendering=\"crispEdges\">\n";
    rect(0, 0, width, height, "#ffffff");
}

void Svg::rect(double x, double y, double w, double h, std::string_view fill, double opacity)
{
    body_ += "<rect x=\"" + number(x) + "\" y=\"" + number(y) + "\" width=\"" + number(w) +
             "\" height=\"" + number(h) + "\" fill=\"" + std::string(fill) + "\"";
    if (opacity < 1.0)
        body_ += " fill-opacity=\"" + number(opacity) + "\"";
    body_ += "/>\n";
}

void Svg::line(double x1, double y1, double x2, double y2, std::string_view stroke)
{
    body_ += "<line x1=\"" + number(x1) + "\" y1=\"" + number(y1) + "\" x2=\"" + number(x2) +
             "\" y2=\"" + number(y2) + "\" stroke=\"" + std::string(stroke) + "\"/>\n";
}

void Svg::text(double x, double y, std::string_view content, std::string_view anchor, int size,
               bool rotated)
{
    body_ += "<text x=\"";  // kept apart: a false -Wrestrict from g++ 12 at -O3
    body_ += number(x) + "\" y=\"" + number(y) + "\" font-size=\"" +
             std::to_string(size) + "\" text-anchor=\"" + std::string(anchor) + "\"";
    if (rotated)
        body_ += " transform=\"rotate(-90 " + number(x) + " " + number(y) + ")\"";
    body_ += ">" + escaped(content) + "</text>\n";
}

void Svg::raw(std::string_view markup)
{
    body_.append(markup);
    body_ += '\n';
}

std::string Svg::finish()
{
    return body_ + "</svg>\n";
}

std::vector<int> ticks(int extent, int most)
{
    std::vector<int> result;
    if (extent <= 0)
        return result;
    long long step = 1;
    // The smallest step of the form 1, 2, 5 x 10^n giving at most `most` ticks.
    for (long long scale = 1;; scale *= 10) {
        bool found = false;
        for (const long long base : {1LL, 2LL, 5LL}) {
            step = base * scale;
            if ((extent - 1) / step + 1 <= most) {
                found = true;
                break;
            }
        }
        if (found)
            break;
    }
    for (long long t = 0; t < extent; t += step)
        result.push_back(static_cast<int>(t));
    // The last increment is labelled too unless a tick is already close by.
    if (result.back() != extent - 1 && (extent - 1 - result.back()) * 2 > step)
        result.push_back(extent - 1);
    return result;
}

}  // namespace psenv::sched
