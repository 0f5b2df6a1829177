#include "svg_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace psg {
namespace {

constexpr double kRofWidth = 4; // rof1 / rof2 around a pulse
// The shortest pulse is drawn this wide and the others to the same scale,
// unless the longest would then pass kLongestPulse.
constexpr double kShortestPulse = 24;
constexpr double kLongestPulse = 240;
constexpr double kThinnestPulse = 2;

// Width of a delay or acquisition on the compressed scale: 40 px for 1 us,
// 26 px more for every decade.
double width_of(double seconds)
{
    if (!(seconds > 0.0))
        return 0.0;
    return std::max(6.0, 40.0 + 26.0 * std::log10(seconds / 1e-6));
}

// Pixels per second of pulse, from the element's shortest and longest pulse.
double pulse_scale(const psgacq_event *events, size_t count)
{
    double shortest = 0.0, longest = 0.0;
    auto take = [&](double width) {
        if (!(width > 0.0) || !std::isfinite(width))
            return;
        shortest = shortest > 0.0 ? std::min(shortest, width) : width;
        longest = std::max(longest, width);
    };
    for (size_t i = 0; i < count; ++i) {
        if (events[i].kind == PSGACQ_PULSE)
            take(events[i].real[0]);
        else if (events[i].kind == PSGACQ_PULSE_PAIR) {
            take(events[i].real[0]);
            take(events[i].real[1]);
        }
    }
    if (shortest <= 0.0)
        return 0.0;
    return std::min(kShortestPulse / shortest, kLongestPulse / longest);
}

std::string power_text(double power)
{
    return format("power %g dB", power);
}

std::string named(const std::string &name, double seconds)
{
    return name.empty() ? duration_text(seconds) : name + " " + duration_text(seconds);
}

struct Walker {
    DiagramLayout layout;
    int observe = 1;
    double scale = 0.0;
    double x = kDiagramLabelWidth + 16;
    std::string mask = "yy";
    std::string label;          // the sequence's name for the next timed event
    std::string receiver_phase = "x";
    std::map<int, std::pair<double, std::string>> bands; // channel: start, label

    void use_channel(int channel)
    {
        auto &c = layout.channels;
        if (std::find(c.begin(), c.end(), channel) == c.end())
            c.push_back(channel);
    }

    std::string take_label()
    {
        std::string taken;
        taken.swap(label);
        return taken;
    }

    double pulse_width(double seconds) const
    {
        return std::isfinite(seconds) && seconds > 0.0 ? std::max(kThinnestPulse, seconds * scale)
                                                       : kThinnestPulse;
    }

    void start_band(int channel, const psgacq_event &e)
    {
        use_channel(channel);
        bands[channel] = {x, std::string(e.pattern) + " decoupling (" + e.text + ")"};
    }

    void stop_band(int channel)
    {
        auto at = bands.find(channel);
        if (at == bands.end())
            return;
        layout.waveforms.push_back({channel, at->second.first, x - at->second.first,
                                    at->second.second, ""});
        bands.erase(at);
    }

    void pulse(const psgacq_event &e);
    void pair(const psgacq_event &e);
    void acquisition(const psgacq_event &e);
    void event(const psgacq_event &e);
};

std::string pulse_phase(int phase, const char *table)
{
    return table[0] != '\0' ? std::string(table) : phase_text(phase);
}

void Walker::pulse(const psgacq_event &e)
{
    use_channel(e.integer[1]);
    const double w = pulse_width(e.real[0]);
    x += e.real[1] > 0 ? kRofWidth : 0;
    layout.pulses.push_back(
        {e.integer[1], x, w, named(take_label(), e.real[0]), pulse_phase(e.integer[0], e.text)});
    x += w + (e.real[2] > 0 ? kRofWidth : 0);
}

void Walker::pair(const psgacq_event &e)
{
    const int *n = e.integer;
    use_channel(n[2]);
    use_channel(n[3]);
    const double w1 = pulse_width(e.real[0]);
    const double w2 = pulse_width(e.real[1]);
    const double w = std::max(w1, w2);
    x += e.real[2] > 0 ? kRofWidth : 0;
    // Simultaneous pulses share their centre; a name given to the pair goes
    // to both.
    const std::string name = take_label();
    layout.pulses.push_back(
        {n[2], x + (w - w1) / 2, w1, named(name, e.real[0]), pulse_phase(n[0], e.text)});
    layout.pulses.push_back(
        {n[3], x + (w - w2) / 2, w2, named(name, e.real[1]), pulse_phase(n[1], e.pattern)});
    layout.pairs.emplace_back(x, w);
    x += w + (e.real[3] > 0 ? kRofWidth : 0);
}

void Walker::acquisition(const psgacq_event &e)
{
    // np counts real and imaginary points: np / 2 complex points.
    const double complex_points = e.real[0] / 2.0;
    const double time = complex_points * e.real[1];
    const double w = std::max(60.0, width_of(time));
    std::string text = format("%g", complex_points) + " complex points, " + duration_text(time);
    const std::string name = take_label();
    if (!name.empty())
        text = name + ": " + text;
    for (size_t k = 0; k < mask.size(); ++k)
        if (mask[k] == 'y') {
            const int receiver = static_cast<int>(k);
            layout.signals.push_back({receiver, x, w, text, receiver_phase});
            auto &r = layout.receivers;
            if (std::find(r.begin(), r.end(), receiver) == r.end())
                r.push_back(receiver);
        }
    x += w;
}

void Walker::event(const psgacq_event &e)
{
    const double *r = e.real;
    const int *n = e.integer;
    switch (e.kind) {
    case PSGACQ_STATUS:
        layout.periods.push_back(
            {x, std::string(1, static_cast<char>('A' + std::clamp(n[0], 0, 25)))});
        break;
    case PSGACQ_DELAY: {
        const double w = width_of(r[0]);
        layout.delays.push_back({x, x + w, named(take_label(), r[0])});
        x += w;
        break;
    }
    case PSGACQ_POWER:
        use_channel(n[0]);
        layout.notes.push_back({n[0], x, power_text(r[0])});
        break;
    case PSGACQ_PULSE:
        pulse(e);
        break;
    case PSGACQ_PULSE_PAIR:
        pair(e);
        break;
    case PSGACQ_RECEIVERS:
        mask = e.text;
        break;
    case PSGACQ_RECEIVER_PHASE:
        receiver_phase = pulse_phase(n[0], e.text);
        break;
    case PSGACQ_ACQUIRE:
        acquisition(e);
        break;
    case PSGACQ_WAVEFORM_ON:
        start_band(observe, e);
        break;
    case PSGACQ_WAVEFORM_OFF:
        stop_band(observe);
        break;
    case PSGACQ_CHANNEL_WAVEFORM_ON:
        start_band(n[0], e);
        break;
    case PSGACQ_CHANNEL_WAVEFORM_OFF:
        stop_band(n[0]);
        break;
    case PSGACQ_BLANKING:
        use_channel(n[1]);
        layout.notes.push_back({n[1], x, n[0] == 0 ? "unblank" : "blank"});
        break;
    case PSGACQ_LABEL:
        label = e.text;
        break;
    case PSGACQ_ABORT:
        layout.aborts.push_back(x);
        break;
    default:
        break;
    }
}

} // namespace

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

std::string phase_text(int quarter_turns)
{
    static const char *const names[] = {"x", "y", "\xE2\x88\x92x", "\xE2\x88\x92y"};
    return names[(quarter_turns % 4 + 4) % 4];
}

DiagramLayout lay_out(const psgacq_event *events, size_t count, int observe_channel)
{
    Walker walker;
    walker.observe = observe_channel;
    walker.scale = pulse_scale(events, count);
    walker.use_channel(observe_channel);
    for (size_t i = 0; i < count; ++i)
        walker.event(events[i]);
    // Waveforms never stopped run to the end.
    while (!walker.bands.empty())
        walker.stop_band(walker.bands.begin()->first);
    DiagramLayout &layout = walker.layout;
    std::sort(layout.channels.begin(), layout.channels.end());
    std::sort(layout.receivers.begin(), layout.receivers.end());
    layout.end = walker.x + 16;
    return layout;
}

} // namespace psg
