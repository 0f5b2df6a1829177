// A pulse-sequence diagram the way textbooks draw one: a row per channel and
// per receiver, pulses as filled boxes with their phases, delays as labelled
// gaps, acquisitions as decaying signals.  Delays span from microseconds to
// seconds, so each decade of delay adds the same width; pulses keep their
// proportions among themselves (svg_layout.h).
#include "svg_diagram.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

#include "psenv_util/file_replacement.h"
#include "psenv_util/svg_writer.h"
#include "svg_layout.h"

namespace psg {
namespace {

// ---- geometry --------------------------------------------------------------

constexpr double kLabelWidth = kDiagramLabelWidth;
constexpr double kMarginRight = 30;
constexpr double kTitleHeight = 34;
constexpr double kDelayStrip = 44;     // delay spans above the rows
constexpr double kRowHeight = 96;
constexpr double kAxisHeight = 86;
constexpr double kPulseHeight = 42;
constexpr double kNoteCharacterWidth = 5.6; // of the 10 px notes, generously

// ---- drawing ----------------------------------------------------------------

class Canvas {
public:
    void add(const std::string &element) { body_ += element + "\n"; }
    const std::string &body() const { return body_; }

private:
    std::string body_;
};

// A coordinate; never "inf" or "nan", which no viewer accepts.
std::string attr(double value)
{
    return format("%.2f", std::isfinite(value) ? value : 0.0);
}

std::string text(double x, double y, std::string_view content, const char *cls,
                 const char *anchor = "middle")
{
    return "<text x=\"" + attr(x) + "\" y=\"" + attr(y) + "\" class=\"" + cls +
           "\" text-anchor=\"" + anchor + "\">" + psenv::util::svg_text(content) + "</text>";
}

std::string line(double x0, double y0, double x1, double y1, const char *cls)
{
    return "<line x1=\"" + attr(x0) + "\" y1=\"" + attr(y0) + "\" x2=\"" + attr(x1) +
           "\" y2=\"" + attr(y1) + "\" class=\"" + cls + "\"/>";
}

std::string rect(double x, double y, double w, double h, const char *cls)
{
    return "<rect x=\"" + attr(x) + "\" y=\"" + attr(y) + "\" width=\"" + attr(w) +
           "\" height=\"" + attr(h) + "\" class=\"" + cls + "\"/>";
}

std::string channel_name(int channel, int observe)
{
    if (channel == observe)
        return "Observe (ch " + std::to_string(channel) + ")";
    return (channel == 2 ? "Decoupler (ch " : "Channel (ch ") + std::to_string(channel) + ")";
}

// A free-induction decay: a cosine under an exponential envelope.
std::string decay(double x, double baseline, double width)
{
    constexpr int kPoints = 240;
    constexpr double kCycles = 14;
    constexpr double kAmplitude = 24;
    std::string points;
    for (int i = 0; i <= kPoints; ++i) {
        double t = static_cast<double>(i) / kPoints;
        double y = baseline - kAmplitude * std::exp(-4.0 * t) * std::cos(2 * M_PI * kCycles * t);
        points += attr(x + t * width) + "," + attr(y) + " ";
    }
    return "<polyline points=\"" + points + "\" class=\"fid\"/>";
}

// "Status periods A, B, C begin where the sequence calls status(0),
// status(1), status(2)." for the periods drawn, each named once.
std::string period_legend(const std::vector<DiagramMark> &periods)
{
    std::string seen, letters, calls;
    for (const DiagramMark &m : periods) {
        if (seen.find(m.label) != std::string::npos)
            continue;
        const std::string separator = seen.empty() ? "" : ", ";
        seen += m.label;
        letters += separator + m.label;
        calls += separator + "status(" + std::to_string(m.label[0] - 'A') + ")";
    }
    if (seen.empty())
        return "";
    return std::string(seen.size() == 1 ? "Status period " : "Status periods ") + letters +
           (seen.size() == 1 ? " begins" : " begin") + " where the sequence calls " + calls +
           ".";
}

} // namespace

std::string svg_diagram(const psgacq_event *events, size_t count, const DiagramSettings &settings)
{
    DiagramLayout layout =
        lay_out(events, events != nullptr ? count : 0, settings.observe_channel);
    // A run without an explicit acquisition still shows where the library's goes.
    const std::vector<int> receivers =
        layout.receivers.empty() ? std::vector<int>{0} : layout.receivers;
    const int channel_rows = static_cast<int>(layout.channels.size());
    const int rows = channel_rows + static_cast<int>(receivers.size());
    const std::string legend = period_legend(layout.periods);
    const std::string scale_note =
        "Delays and acquisitions are compressed (every tenfold longer one adds the same "
        "width); pulses are to scale among themselves.";
    // The notes under the time line must fit however short the sequence.
    const double notes_width =
        kNoteCharacterWidth * static_cast<double>(std::max(legend.size(), scale_note.size()));
    const double width = std::max(layout.end, kLabelWidth + notes_width) + kMarginRight;
    const double rows_top = kTitleHeight + kDelayStrip;
    const double axis_y = rows_top + rows * kRowHeight + 18;
    const double height = axis_y + kAxisHeight;
    auto baseline = [&](int row) { return rows_top + (row + 1) * kRowHeight - 18; };
    auto channel_row = [&](int channel) {
        auto at = std::find(layout.channels.begin(), layout.channels.end(), channel);
        return static_cast<int>(at - layout.channels.begin());
    };
    auto receiver_row = [&](int receiver) {
        auto at = std::find(receivers.begin(), receivers.end(), receiver);
        return channel_rows + static_cast<int>(at - receivers.begin());
    };

    Canvas c;
    c.add(rect(0, 0, width, height, "page"));
    c.add(text(16, 24, settings.title, "title", "start"));

    // Period boundaries run through every row.
    for (const DiagramMark &m : layout.periods)
        c.add(line(m.x, rows_top - 6, m.x, axis_y, "period"));

    for (const DiagramBox &band : layout.waveforms) {
        double top = baseline(channel_row(band.channel)) - kPulseHeight * 0.55;
        c.add(rect(band.x, top, band.width, kPulseHeight * 0.55, "band"));
        c.add(text(band.x + band.width / 2, top - 4, band.label, "note"));
    }

    for (int row = 0; row < rows; ++row) {
        std::string name =
            row < channel_rows
                ? channel_name(layout.channels[static_cast<size_t>(row)], settings.observe_channel)
                : "Receiver " + std::to_string(receivers[static_cast<size_t>(row - channel_rows)] + 1);
        c.add(text(16, baseline(row) - 4, name, "row", "start"));
        c.add(line(kLabelWidth, baseline(row), layout.end, baseline(row), "baseline"));
    }

    for (const DiagramSpan &d : layout.delays) {
        double y = kTitleHeight + kDelayStrip - 12;
        c.add(line(d.x0, y, d.x1, y, "span"));
        c.add(line(d.x0, y - 5, d.x0, y + 5, "span"));
        c.add(line(d.x1, y - 5, d.x1, y + 5, "span"));
        c.add(text((d.x0 + d.x1) / 2, y - 6, d.label, "label"));
    }

    for (const auto &[x, w] : layout.pairs)
        c.add(line(x + w / 2, baseline(0) - kPulseHeight, x + w / 2, axis_y - 18, "pair"));

    for (const DiagramBox &p : layout.pulses) {
        double y = baseline(channel_row(p.channel));
        c.add(rect(p.x, y - kPulseHeight, p.width, kPulseHeight, "pulse"));
        c.add(text(p.x + p.width / 2, y - kPulseHeight - 5, p.phase, "phase"));
        c.add(text(p.x + p.width / 2, y - kPulseHeight - 20, p.label, "label"));
    }

    for (const DiagramNote &n : layout.notes)
        c.add(text(n.x + 2, baseline(channel_row(n.channel)) + 13, n.label, "note", "start"));

    for (const DiagramSignal &s : layout.signals) {
        double y = baseline(receiver_row(s.receiver));
        c.add(decay(s.x, y - 26, s.width));
        c.add(text(s.x + 2, y - kPulseHeight - 5, "receiver: " + s.phase, "phase", "start"));
        c.add(text(s.x + s.width / 2, y + 13, s.label, "note"));
    }

    if (layout.signals.empty())
        c.add(text(layout.end - 8, baseline(receiver_row(0)) - 8,
                   "no explicit acquisition: the library acquires after the sequence", "note",
                   "end"));

    for (double x : layout.aborts)
        c.add(text(x, rows_top - 8, "aborted", "abort"));

    // Time axis with the period marks.
    c.add(line(kLabelWidth, axis_y, layout.end, axis_y, "axis"));
    c.add(text(16, axis_y + 5, "time", "row", "start"));
    for (const DiagramMark &m : layout.periods) {
        c.add("<circle cx=\"" + attr(m.x) + "\" cy=\"" + attr(axis_y) + "\" r=\"10\" class=\"mark\"/>");
        c.add(text(m.x, axis_y + 5, m.label, "markText"));
    }
    double note_y = axis_y + 34;
    if (!legend.empty()) {
        c.add(text(kLabelWidth, note_y, legend, "note", "start"));
        note_y += 16;
    }
    c.add(text(kLabelWidth, note_y, scale_note, "note", "start"));

    std::string svg;
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + attr(width) + "\" height=\"" +
           attr(height) + "\" viewBox=\"0 0 " + attr(width) + " " + attr(height) + "\">\n";
    svg += "<style>\n"
           "text { font-family: 'DejaVu Sans', Arial, sans-serif; fill: #222; }\n"
           ".title { font-size: 16px; font-weight: bold; }\n"
           ".row { font-size: 13px; font-weight: bold; }\n"
           ".label { font-size: 11px; }\n"
           ".phase { font-size: 12px; font-weight: bold; font-style: italic; fill: #a33; }\n"
           ".note { font-size: 10px; fill: #555; }\n"
           ".abort { font-size: 12px; fill: #b00; font-weight: bold; }\n"
           ".markText { font-size: 12px; font-weight: bold; fill: #fff; }\n"
           ".page { fill: #fff; }\n"
           ".baseline { stroke: #222; stroke-width: 1.5; }\n"
           ".axis { stroke: #222; stroke-width: 1.5; }\n"
           ".pulse { fill: #222; }\n"
           ".band { fill: #9cc3e6; fill-opacity: 0.55; stroke: #4a7fb0; stroke-dasharray: 4 2; }\n"
           ".fid { fill: none; stroke: #1f5fa8; stroke-width: 1.2; }\n"
           ".span { stroke: #777; stroke-width: 1; }\n"
           ".period { stroke: #999; stroke-width: 1; stroke-dasharray: 3 4; }\n"
           ".pair { stroke: #c44; stroke-width: 1; stroke-dasharray: 2 3; }\n"
           ".mark { fill: #444; }\n"
           "</style>\n";
    svg += c.body();
    svg += "</svg>\n";
    return svg;
}

bool write_svg_diagram(const char *path, const psgacq_event *events, size_t count,
                       const DiagramSettings &settings)
{
    if (path == nullptr || *path == '\0') {
        errno = EINVAL;
        return false;
    }
    // Replaced whole: a full disk or a kill leaves the old diagram as it was.
    if (const int failure = psenv::util::replace_file(path, svg_diagram(events, count, settings));
        failure != 0) {
        errno = failure;
        return false;
    }
    return true;
}

} // namespace psg
