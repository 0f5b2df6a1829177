// Where a diagram puts an element's events: one row per channel used and per
// receiver that acquired, delays and acquisitions on a compressed time line,
// pulses to scale among themselves.
#ifndef PSG_SVG_LAYOUT_H
#define PSG_SVG_LAYOUT_H

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "psgacq.h"

namespace psg {

constexpr double kDiagramLabelWidth = 170; // row names on the left

struct DiagramBox {
    int channel;
    double x, width;
    std::string label; // the sequence's name for it and its duration, or the duration
    std::string phase; // pulses: x, y, -x, -y or the phase table's name
};
struct DiagramSpan {
    double x0, x1;
    std::string label;
};
struct DiagramSignal {
    int receiver; // 0-based
    double x, width;
    std::string label;
    std::string phase; // the receiver's phase
};
struct DiagramMark {
    double x;
    std::string label;
};
struct DiagramNote {
    int channel;
    double x;
    std::string label;
};

struct DiagramLayout {
    std::vector<int> channels;  // in increasing order
    std::vector<int> receivers; // 0-based, those that acquired; none: the first
    std::vector<DiagramBox> pulses;
    std::vector<std::pair<double, double>> pairs; // alignment guides: x, width
    std::vector<DiagramSpan> delays;
    std::vector<DiagramSignal> signals;
    std::vector<DiagramMark> periods;
    std::vector<DiagramBox> waveforms; // a band on the channel between start and stop
    std::vector<DiagramNote> notes;
    std::vector<double> aborts;
    double end = kDiagramLabelWidth;
};

DiagramLayout lay_out(const psgacq_event *events, size_t count, int observe_channel);

// "12.5 µs", "3.571 ms", "1.5 s"; "?" for what is not finite.
std::string duration_text(double seconds);

// A number through a printf format; "?" for what is not finite.
std::string format(const char *fmt, double value);

// x, y, −x, −y for 0, 1, 2, 3 quarter turns (any whole number, modulo 4).
std::string phase_text(int quarter_turns);

} // namespace psg

#endif
