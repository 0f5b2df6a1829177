// Self-contained SVG pictures, and the one way a text from anywhere (a file
// name, a program name, a parameter) becomes text of such a picture.
#ifndef PSENV_UTIL_SVG_WRITER_H
#define PSENV_UTIL_SVG_WRITER_H

#include <string>
#include <string_view>

namespace psenv::util {

// `raw` as XML text of a UTF-8 document.  A viewer refuses a whole document
// over one bad byte, so: every byte that does not start a well-formed UTF-8
// sequence (no overlong forms, no surrogates, nothing above U+10FFFF)
// becomes U+FFFD, one per byte; so does every character XML 1.0 does not
// allow (U+FFFE, U+FFFF) and every C0 control but the tab, line breaks
// included, since a text element is one line; '&', '<', '>' and '"' become
// entities.  Anything else stays as it is.
std::string svg_text(std::string_view raw);

// A picture of `width` x `height` pixels on a white background, sans-serif,
// with crisp edges.  Numbers are written with at most two decimals.
class SvgWriter {
public:
    SvgWriter(double width, double height);

    void rect(double x, double y, double w, double h, std::string_view fill,
              double opacity = 1.0);
    void line(double x1, double y1, double x2, double y2, std::string_view stroke);
    // `content` goes through svg_text(); anchor: "start", "middle" or "end";
    // a rotated text turns a quarter anticlockwise about (x, y).
    void text(double x, double y, std::string_view content, std::string_view anchor,
              int size = 12, bool rotated = false);
    // Markup written as it stands (paths, circles); the caller escapes it.
    void raw(std::string_view markup);

    // The whole document, closed.
    std::string finish() const;

private:
    std::string body_;
};

}  // namespace psenv::util

#endif
