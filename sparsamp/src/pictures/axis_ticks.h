// Tick positions of a picture's axis whose labels never overlap.
#ifndef PSENV_PICTURES_AXIS_TICKS_H
#define PSENV_PICTURES_AXIS_TICKS_H

#include <vector>

namespace psenv::plan {

// Ticks for the whole numbers lo..hi drawn over `pixels`, each number at the
// centre of its cell (pixels / (hi - lo + 1) wide).  Labels are taken as
// `char_width` pixels per character wide (horizontal axis) or `line_height`
// pixels high (vertical axis: `char_width` 0).  Round steps (1, 2, 5 x 10^n)
// are chosen so that neighbouring labels keep at least a gap of `gap`
// pixels; hi is labelled too when it fits, replacing the last round tick if
// that one stands too close.  lo is always labelled.
std::vector<long long> axis_ticks(long long lo, long long hi, double pixels, double char_width,
                                  double line_height, double gap = 6.0);

// Pixel extent of a label along the axis (width or height, as above).
double label_extent(long long value, double char_width, double line_height);

}  // namespace psenv::plan

#endif
