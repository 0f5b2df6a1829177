#include "svg_writer.h"

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

// Length of the well-formed UTF-8 sequence at the start of `text` (no
// overlong forms, no surrogates, nothing above U+10FFFF), or 0.
std::size_t utf8_sequence(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

}  // namespace

std::string valid_utf8(std::string_view text)
{
    std::string out;
    while (!text.empty()) {
        const std::size_t length = utf8_sequence(text);
        if (length == 0) {
            out += "\xEF\xBF\xBD";  // U+FFFD in place of a byte that starts nothing valid
            text.remove_prefix(1);
        } else {
            out.append(text.substr(0, length));
            text.remove_prefix(length);
        }
    }
    return out;
}

namespace {

// A browser rejects the whole picture over one bad byte: texts become valid
// UTF-8 first, then XML text.
std::string escaped(std::string_view raw)
{
    const std::string text = valid_utf8(raw);
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
