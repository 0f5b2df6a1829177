// A small writer of self-contained SVG pictures (the schedule and
// point-spread pictures of `psenv sched` and of the Python module).
#ifndef PSENV_PICTURES_SVG_WRITER_H
#define PSENV_PICTURES_SVG_WRITER_H

#include <string>
#include <string_view>
#include <vector>

namespace psenv::sched {

class Svg {
public:
    Svg(double width, double height);
    void rect(double x, double y, double w, double h, std::string_view fill, double opacity = 1.0);
    void line(double x1, double y1, double x2, double y2, std::string_view stroke);
    // anchor: "start", "middle" or "end"; rotated texts turn a quarter anticlockwise.
    void text(double x, double y, std::string_view content, std::string_view anchor,
              int size = 12, bool rotated = false);
    // Markup written as it stands (paths, circles); the caller escapes it.
    void raw(std::string_view markup);
    std::string finish();

private:
    std::string body_;
};

// `text` with every byte that is not part of a well-formed UTF-8 sequence
// replaced by U+FFFD.
std::string valid_utf8(std::string_view text);

// Ticks for increments 0..extent-1: a few round positions, the first and last.
std::vector<int> ticks(int extent, int most);

}  // namespace psenv::sched

#endif
