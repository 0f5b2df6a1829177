// Events in call form, the way a reader of the sequence would write them.
#include "psgacq.h"

#include <cstdio>

extern "C" int psgacq_format_event(const psgacq_event *event, char *buf, size_t size)
{
    if (event == nullptr)
        return std::snprintf(buf, size, "%s", "");
    const double *r = event->real;
    const int *n = event->integer;
    switch (event->kind) {
    case PSGACQ_STATUS:
        return std::snprintf(buf, size, "status(%d)", n[0]);
    case PSGACQ_DELAY:
        return std::snprintf(buf, size, "delay(%.9g)", r[0]);
    case PSGACQ_POWER:
        return std::snprintf(buf, size, "genPower(%.9g, %d)", r[0], n[0]);
    case PSGACQ_PULSE:
        return std::snprintf(buf, size, "genRFPulse(%.9g, %d, %.9g, %.9g, %d)", r[0], n[0], r[1],
                             r[2], n[1]);
    case PSGACQ_PULSE_PAIR:
        return std::snprintf(buf, size, "gensim_pulse(%.9g, %.9g, %d, %d, %.9g, %.9g, %d, %d)",
                             r[0], r[1], n[0], n[1], r[2], r[3], n[2], n[3]);
    case PSGACQ_RECEIVERS:
        return std::snprintf(buf, size, "setactivercvrs(\"%s\")", event->text);
    case PSGACQ_ACQUIRE_START:
        return std::snprintf(buf, size, "startacq(%.9g)", r[0]);
    case PSGACQ_ACQUIRE:
        return std::snprintf(buf, size, "acquire(%.9g, %.9g)", r[0], r[1]);
    case PSGACQ_ACQUIRE_END:
        return std::snprintf(buf, size, "endacq()");
    case PSGACQ_BLANKING:
        return std::snprintf(buf, size, "genBlankOnOff(%d, %d)", n[0], n[1]);
    case PSGACQ_WAVEFORM_MADE:
        return std::snprintf(buf, size, "wavl_mix(\"%s\", \"%s\", %.9g, %.9g, %.9g)",
                             event->text, event->pattern, r[0], r[1], r[2]);
    case PSGACQ_WAVEFORM_ON:
        return std::snprintf(buf, size, "wavl_xmtron(&{\"%s\", \"%s\", %.9g, %.9g, %.9g})",
                             event->text, event->pattern, r[0], r[1], r[2]);
    case PSGACQ_WAVEFORM_OFF:
        return std::snprintf(buf, size, "wavl_xmtroff()");
    case PSGACQ_ABORT:
        return std::snprintf(buf, size, "psg_abort(%d)", n[0]);
    case PSGACQ_RECEIVER_PHASE:
        return std::snprintf(buf, size, "receiverphase(%d)", n[0]);
    case PSGACQ_PHASE_TABLE:
        return std::snprintf(buf, size, "phasetable(\"%s\", %d, {%s})", event->text, n[0],
                             event->pattern);
    case PSGACQ_CHANNEL_WAVEFORM_ON:
        return std::snprintf(buf, size, "wavl_on(&{\"%s\", \"%s\", %.9g, %.9g, %.9g}, %d)",
                             event->text, event->pattern, r[0], r[1], r[2], n[0]);
    case PSGACQ_CHANNEL_WAVEFORM_OFF:
        return std::snprintf(buf, size, "wavl_off(%d)", n[0]);
    case PSGACQ_LABEL:
        return std::snprintf(buf, size, "eventlabel(\"%s\")", event->text);
    }
    return std::snprintf(buf, size, "unknown event %d", static_cast<int>(event->kind));
}
