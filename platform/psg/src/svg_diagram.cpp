// A pulse-sequence diagram the way textbooks draw one: a row per channel and
// per receiver, pulses as filled boxes, delays as labelled gaps, acquisitions
// as decaying signals.  Durations span from microseconds to seconds, so each
// decade of duration adds the same width instead of time being to scale.
#include "svg_diagram.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

#include "psenv_util/file_replacement.h"
#include "psenv_util/svg_writer.h"

namespace psg {
namespace {

// ---- geometry --------------------------------------------------------------

constexpr double kLabelWidth = 170;    // row names on the left
constexpr double kMarginRight = 30;
constexpr double kTitleHeight = 34;
constexpr double kDelayStrip = 44;     // delay spans above the rows
constexpr double kRowHeight = 84;
constexpr double kAxisHeight = 70;
constexpr double kPulseHeight = 42;
constexpr double kRofWidth = 4;        // rof1 / rof2 around a pulse
constexpr double kMinimumPulse = 10;
constexpr int kMinimumReceivers = 2;

// Width of a duration on the compressed scale: 40 px for 1 us, 26 px more
// for every decade.
double width_of(double seconds)
{
    if (!(seconds > 0.0))
        return 0.0;
    return std::max(6.0, 40.0 + 26.0 * std::log10(seconds / 1e-6));
}

// The runner never hands over a non-finite value, but a diagram made
// directly from events must not carry "inf" or "nan" either.
std::string format(const char *fmt, double value)
{
    if (!std::isfinite(value))
        return "?";
    char text[64];
    std::snprintf(text, sizeof text, fmt, value);
    return text;
}

std::string duration_text(double seconds)
{
    double magnitude = std::fabs(seconds);
    if (magnitude >= 1.0 || magnitude == 0.0)
        return format("%.4g s", seconds);
    if (magnitude >= 1e-3)
        return format("%.4g ms", seconds * 1e3);
    if (magnitude >= 1e-6)
        return format("%.4g \xC2\xB5s", seconds * 1e6);
    return format("%.4g ns", seconds * 1e9);
}

std::string named(const char *name, double value, double duration)
{
    return value == duration ? std::string(name) + " " + duration_text(duration)
                             : duration_text(duration);
}

// ---- what is drawn, laid out on the compressed time line -------------------

struct Box {
    int channel;
    double x, width;
    std::string label;
};
struct Span {
    double x0, x1;
    std::string label;
};
struct Signal {
    int receiver; // 0-based
    double x, width;
    std::string label;
};
struct Mark {
    double x;
    std::string label;
};
struct ChannelNote {
    int channel;
    double x;
    std::string label;
};

struct Layout {
    std::vector<int> channels;
    int receivers = kMinimumReceivers;
    std::vector<Box> pulses;
    std::vector<std::pair<double, double>> pairs; // alignment guides: x, width
    std::vector<Span> delays;
    std::vector<Signal> signals;
    std::vector<Mark> periods;
    std::vector<Box> waveforms; // a band on the channel between start and stop
    std::vector<ChannelNote> notes;
    std::vector<double> aborts;
    double end = kLabelWidth;
};

void use_channel(Layout &layout, int channel)
{
    if (std::find(layout.channels.begin(), layout.channels.end(), channel) ==
        layout.channels.end())
        layout.channels.push_back(channel);
}

std::string pulse_label(const DiagramNames &names, double width)
{
    if (width == names.pw)
        return named("pw", names.pw, width);
    return named("pwx", names.pwx, width);
}

std::string delay_label(const DiagramNames &names, double time)
{
    if (time == names.d1 && names.d1 != names.d2)
        return named("d1", names.d1, time);
    if (time == names.d2 && names.d1 != names.d2)
        return named("d2", names.d2, time);
    return duration_text(time);
}

Layout lay_out(const psgacq_event *events, size_t count, const DiagramNames &names)
{
    Layout layout;
    use_channel(layout, names.observe_channel);
    double x = kLabelWidth + 16;
    std::string mask = "yy";
    double waveform_start = -1;
    std::string waveform_label;

    for (size_t i = 0; i < count; ++i) {
        const psgacq_event &e = events[i];
        const double *r = e.real;
        const int *n = e.integer;
        switch (e.kind) {
        case PSGACQ_STATUS:
            layout.periods.push_back({x, std::string(1, static_cast<char>('A' + std::clamp(n[0], 0, 25)))});
            break;
        case PSGACQ_DELAY: {
            double w = width_of(r[0]);
            layout.delays.push_back({x, x + w, delay_label(names, r[0])});
            x += w;
            break;
        }
        case PSGACQ_POWER:
            use_channel(layout, n[0]);
            layout.notes.push_back({n[0], x, format("power %g", r[0])});
            break;
        case PSGACQ_PULSE: {
            use_channel(layout, n[1]);
            double w = std::max(kMinimumPulse, width_of(r[0]));
            x += r[1] > 0 ? kRofWidth : 0;
            layout.pulses.push_back({n[1], x, w, pulse_label(names, r[0])});
            x += w + (r[2] > 0 ? kRofWidth : 0);
            break;
        }
        case PSGACQ_PULSE_PAIR: {
            use_channel(layout, n[2]);
            use_channel(layout, n[3]);
            double w1 = std::max(kMinimumPulse, width_of(r[0]));
            double w2 = std::max(kMinimumPulse, width_of(r[1]));
            double w = std::max(w1, w2);
            x += r[2] > 0 ? kRofWidth : 0;
            // Simultaneous pulses share their centre.
            layout.pulses.push_back({n[2], x + (w - w1) / 2, w1, named("pw", names.pw, r[0])});
            layout.pulses.push_back({n[3], x + (w - w2) / 2, w2, named("pwx", names.pwx, r[1])});
            layout.pairs.emplace_back(x, w);
            x += w + (r[3] > 0 ? kRofWidth : 0);
            break;
        }
        case PSGACQ_RECEIVERS:
            mask = e.text;
            layout.receivers = std::max(layout.receivers, static_cast<int>(mask.size()));
            break;
        case PSGACQ_ACQUIRE: {
            // np counts real and imaginary points: np / 2 complex points.
            double complex_points = r[0] / 2.0;
            double time = complex_points * r[1];
            double w = std::max(60.0, width_of(time));
            std::string label =
                format("%g", complex_points) + " complex points, " + duration_text(time);
            for (size_t k = 0; k < mask.size(); ++k)
                if (mask[k] == 'y')
                    layout.signals.push_back({static_cast<int>(k), x, w, label});
            x += w;
            break;
        }
        case PSGACQ_WAVEFORM_ON:
            waveform_start = x;
            waveform_label = std::string(e.pattern) + " decoupling (" + e.text + ")";
            break;
        case PSGACQ_WAVEFORM_OFF:
            if (waveform_start >= 0)
                layout.waveforms.push_back(
                    {names.observe_channel, waveform_start, x - waveform_start, waveform_label});
            waveform_start = -1;
            break;
        case PSGACQ_BLANKING:
            use_channel(layout, n[1]);
            layout.notes.push_back({n[1], x, n[0] == 0 ? "unblank" : "blank"});
            break;
        case PSGACQ_ABORT:
            layout.aborts.push_back(x);
            break;
        default:
            break;
        }
    }
    if (waveform_start >= 0) // never stopped: runs to the end
        layout.waveforms.push_back(
            {names.observe_channel, waveform_start, x - waveform_start, waveform_label});
    std::sort(layout.channels.begin(), layout.channels.end());
    layout.end = x + 16;
    return layout;
}

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

} // namespace

std::string svg_diagram(const psgacq_event *events, size_t count, const DiagramNames &names)
{
    Layout layout = lay_out(events, events != nullptr ? count : 0, names);
    const int rows = static_cast<int>(layout.channels.size()) + layout.receivers;
    const double width = layout.end + kMarginRight;
    const double rows_top = kTitleHeight + kDelayStrip;
    const double axis_y = rows_top + rows * kRowHeight + 18;
    const double height = axis_y + kAxisHeight;
    auto baseline = [&](int row) { return rows_top + (row + 1) * kRowHeight - 18; };
    auto channel_row = [&](int channel) {
        auto at = std::find(layout.channels.begin(), layout.channels.end(), channel);
        return static_cast<int>(at - layout.channels.begin());
    };
    auto receiver_row = [&](int receiver) {
        return static_cast<int>(layout.channels.size()) + receiver;
    };

    Canvas c;
    c.add(rect(0, 0, width, height, "page"));
    c.add(text(16, 24, names.title, "title", "start"));

    // Period boundaries run through every row.
    for (const Mark &m : layout.periods)
        c.add(line(m.x, rows_top - 6, m.x, axis_y, "period"));

    for (const Box &band : layout.waveforms) {
        double top = baseline(channel_row(band.channel)) - kPulseHeight * 0.55;
        c.add(rect(band.x, top, band.width, kPulseHeight * 0.55, "band"));
        c.add(text(band.x + band.width / 2, top - 4, band.label, "note"));
    }

    for (int row = 0; row < rows; ++row) {
        bool is_channel = row < static_cast<int>(layout.channels.size());
        std::string name = is_channel
                               ? channel_name(layout.channels[static_cast<size_t>(row)],
                                              names.observe_channel)
                               : "Receiver " + std::to_string(row - layout.channels.size() + 1);
        c.add(text(16, baseline(row) - 4, name, "row", "start"));
        c.add(line(kLabelWidth, baseline(row), layout.end, baseline(row), "baseline"));
    }

    for (const Span &d : layout.delays) {
        double y = kTitleHeight + kDelayStrip - 12;
        c.add(line(d.x0, y, d.x1, y, "span"));
        c.add(line(d.x0, y - 5, d.x0, y + 5, "span"));
        c.add(line(d.x1, y - 5, d.x1, y + 5, "span"));
        c.add(text((d.x0 + d.x1) / 2, y - 6, d.label, "label"));
    }

    for (const auto &[x, w] : layout.pairs)
        c.add(line(x + w / 2, baseline(0) - kPulseHeight, x + w / 2, axis_y - 18, "pair"));

    for (const Box &p : layout.pulses) {
        double y = baseline(channel_row(p.channel));
        c.add(rect(p.x, y - kPulseHeight, p.width, kPulseHeight, "pulse"));
        c.add(text(p.x + p.width / 2, y - kPulseHeight - 5, p.label, "label"));
    }

    for (const ChannelNote &n : layout.notes)
        c.add(text(n.x + 2, baseline(channel_row(n.channel)) + 13, n.label, "note", "start"));

    for (const Signal &s : layout.signals) {
        double y = baseline(receiver_row(s.receiver));
        c.add(decay(s.x, y - 26, s.width));
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
    for (const Mark &m : layout.periods) {
        c.add("<circle cx=\"" + attr(m.x) + "\" cy=\"" + attr(axis_y) + "\" r=\"10\" class=\"mark\"/>");
        c.add(text(m.x, axis_y + 5, m.label, "markText"));
    }
    c.add(text(kLabelWidth, axis_y + 34,
               "Time is compressed: every tenfold longer duration adds the same width.", "note",
               "start"));

    std::string svg;
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + attr(width) + "\" height=\"" +
           attr(height) + "\" viewBox=\"0 0 " + attr(width) + " " + attr(height) + "\">\n";
    svg += "<style>\n"
           "text { font-family: 'DejaVu Sans', Arial, sans-serif; fill: #222; }\n"
           ".title { font-size: 16px; font-weight: bold; }\n"
           ".row { font-size: 13px; font-weight: bold; }\n"
           ".label { font-size: 11px; }\n"
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
                       const DiagramNames &names)
{
    if (path == nullptr || *path == '\0') {
        errno = EINVAL;
        return false;
    }
    // Replaced whole: a full disk or a kill leaves the old diagram as it was.
    if (const int failure = psenv::util::replace_file(path, svg_diagram(events, count, names));
        failure != 0) {
        errno = failure;
        return false;
    }
    return true;
}

} // namespace psg
