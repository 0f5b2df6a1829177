// Sequence primitives of the run mode: each becomes one event for the
// acquisition communication, which keeps and traces it, once its values
// passed what the hardware would accept.
#include "psg.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "phase_tables.h"
#include "psgacq.h"
#include "psgparam.h"
#include "run_state.h"
#include "value_checks.h"

namespace {

using psg::require;
using psg::ValueRule;

psgacq_event event_of(psgacq_kind kind)
{
    psgacq_event event;
    std::memset(&event, 0, sizeof event);
    event.kind = kind;
    return event;
}

void copy_text(char (&field)[128], const char *text)
{
    std::snprintf(field, sizeof field, "%s", text != nullptr ? text : "");
}

// Every event goes out through here: a table's entry taken for one call is
// not the phase of a later one.
void send(const psgacq_event &event)
{
    psgacq_send(&event);
    psg::forget_taken_phases();
}

psgacq_event waveform_event(psgacq_kind kind, const wavl_shape &shape)
{
    psgacq_event event = event_of(kind);
    copy_text(event.text, shape.name);
    copy_text(event.pattern, shape.pattern);
    event.real[0] = shape.power;
    event.real[1] = shape.pulse90;
    event.real[2] = shape.refpower;
    return event;
}

} // namespace

extern "C" void psg_abort(int code)
{
    // The sequence's message before an abort has no line end of its own.
    std::fputc('\n', stdout);
    psgacq_event event = event_of(PSGACQ_ABORT);
    event.integer[0] = code;
    send(event);
    std::fflush(stdout);
    std::fprintf(stderr, "%s: sequence aborted with code %d at element %d\n",
                 psg::program_name(), code, psg::current_element());
    std::exit(1);
}

extern "C" void status(int n)
{
    psgacq_event event = event_of(PSGACQ_STATUS);
    event.integer[0] = n;
    send(event);
}

extern "C" void delay(double time)
{
    require("delay", "time", ValueRule::Duration, time);
    psgacq_event event = event_of(PSGACQ_DELAY);
    event.real[0] = time;
    send(event);
}

extern "C" void genPower(double power, int channel)
{
    require("genPower", "power", ValueRule::Power, power);
    psgacq_event event = event_of(PSGACQ_POWER);
    event.real[0] = power;
    event.integer[0] = channel;
    send(event);
}

extern "C" void genRFPulse(double width, int phase, double rof1, double rof2, int channel)
{
    require("genRFPulse", "width", ValueRule::PulseWidth, width);
    require("genRFPulse", "rof1", ValueRule::Duration, rof1);
    require("genRFPulse", "rof2", ValueRule::Duration, rof2);
    psgacq_event event = event_of(PSGACQ_PULSE);
    event.real[0] = width;
    event.real[1] = rof1;
    event.real[2] = rof2;
    event.integer[0] = phase;
    event.integer[1] = channel;
    copy_text(event.text, psg::table_of_phase(phase));
    send(event);
}

extern "C" void gensim_pulse(double width1, double width2, int phase1, int phase2,
                             double rof1, double rof2, int channel1, int channel2)
{
    require("gensim_pulse", "width1", ValueRule::PulseWidth, width1);
    require("gensim_pulse", "width2", ValueRule::PulseWidth, width2);
    require("gensim_pulse", "rof1", ValueRule::Duration, rof1);
    require("gensim_pulse", "rof2", ValueRule::Duration, rof2);
    psgacq_event event = event_of(PSGACQ_PULSE_PAIR);
    event.real[0] = width1;
    event.real[1] = width2;
    event.real[2] = rof1;
    event.real[3] = rof2;
    event.integer[0] = phase1;
    event.integer[1] = phase2;
    event.integer[2] = channel1;
    event.integer[3] = channel2;
    copy_text(event.text, psg::table_of_phase(phase1));
    copy_text(event.pattern, psg::table_of_phase(phase2));
    send(event);
}

extern "C" void setactivercvrs(const char *mask)
{
    psgacq_event event = event_of(PSGACQ_RECEIVERS);
    copy_text(event.text, mask);
    send(event);
}

extern "C" void startacq(double alfa)
{
    require("startacq", "alfa", ValueRule::Duration, alfa);
    psgacq_event event = event_of(PSGACQ_ACQUIRE_START);
    event.real[0] = alfa;
    send(event);
}

extern "C" void acquire(double points, double dwell)
{
    require("acquire", "points", ValueRule::Points, points);
    require("acquire", "dwell", ValueRule::Dwell, dwell);
    psgacq_event event = event_of(PSGACQ_ACQUIRE);
    event.real[0] = points;
    event.real[1] = dwell;
    send(event);
}

extern "C" void endacq(void)
{
    psgacq_event event = event_of(PSGACQ_ACQUIRE_END);
    send(event);
}

extern "C" void genBlankOnOff(int flag, int channel)
{
    psgacq_event event = event_of(PSGACQ_BLANKING);
    event.integer[0] = flag;
    event.integer[1] = channel;
    send(event);
}

extern "C" wavl_shape wavl_mix(const char *name, const char *pattern, double power,
                               double pulse90, double refpower)
{
    wavl_shape shape;
    std::memset(&shape, 0, sizeof shape);
    std::snprintf(shape.name, sizeof shape.name, "%s", name != nullptr ? name : "");
    std::snprintf(shape.pattern, sizeof shape.pattern, "%s", pattern != nullptr ? pattern : "");
    shape.power = power;
    shape.pulse90 = pulse90;
    require("wavl_mix", "power", ValueRule::Power, power);
    require("wavl_mix", "pulse90", ValueRule::PulseWidth, pulse90);
    require("wavl_mix", "refpower", ValueRule::Power, refpower);
    shape.refpower = refpower;
    psgacq_event event = waveform_event(PSGACQ_WAVEFORM_MADE, shape);
    send(event);
    return shape;
}

extern "C" void wavl_xmtron(wavl_shape *record)
{
    if (record == nullptr)
        return;
    psgacq_event event = waveform_event(PSGACQ_WAVEFORM_ON, *record);
    send(event);
}

extern "C" void wavl_xmtroff(void)
{
    psgacq_event event = event_of(PSGACQ_WAVEFORM_OFF);
    send(event);
}

extern "C" void wavl_on(wavl_shape *record, int channel)
{
    if (record == nullptr)
        return;
    psgacq_event event = waveform_event(PSGACQ_CHANNEL_WAVEFORM_ON, *record);
    event.integer[0] = channel;
    send(event);
}

extern "C" void wavl_off(int channel)
{
    psgacq_event event = event_of(PSGACQ_CHANNEL_WAVEFORM_OFF);
    event.integer[0] = channel;
    send(event);
}

extern "C" void eventlabel(const char *name)
{
    psgacq_event event = event_of(PSGACQ_LABEL);
    copy_text(event.text, name);
    send(event);
}

extern "C" int incrementof(int dimension)
{
    int increment = psgparam_walk_increment(psg::current_element(), dimension);
    return increment < 0 ? 0 : increment;
}
