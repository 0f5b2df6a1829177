// The timing diagram of one element's events as a self-contained SVG file.
#ifndef PSG_SVG_DIAGRAM_H
#define PSG_SVG_DIAGRAM_H

#include <cstddef>
#include <string>

#include "psgacq.h"

namespace psg {

// What the diagram needs besides the events.
struct DiagramSettings {
    int observe_channel = 1;
    std::string title = "element 1"; // the program's name and the element, as a rule
};

// The whole document.  Delays, pulses and acquisitions are labelled by the
// name the sequence gave them (eventlabel) with their duration, or by the
// duration alone; pulses carry their phase above them.
std::string svg_diagram(const psgacq_event *events, size_t count,
                        const DiagramSettings &settings);

// Makes `path` hold svg_diagram(): a new file beside it renamed over it, so
// that a failed write leaves the old file as it was; a target that is no
// regular file (a FIFO, a device) is written in place, and a FIFO without a
// reader is refused rather than waited for.  false with errno set when
// writing failed (EINVAL for a null or empty path).
bool write_svg_diagram(const char *path, const psgacq_event *events, size_t count,
                       const DiagramSettings &settings);

} // namespace psg

#endif
