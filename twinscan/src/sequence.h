// The dual-receiver sequence, written once: prepare_sequence() does the
// parameter reads, checks and waveform preparation every rendition shares,
// walk_sequence() goes over the events in order and hands each one to an
// EventSink, which either runs it, times it or prints it.
#ifndef TWINSCAN_SEQUENCE_H
#define TWINSCAN_SEQUENCE_H

#include "psg.h"

namespace twinscan {

// What one call of a sequence function works with besides the sequence
// variables: the parameters read through the library and the mode letter.
struct SequenceSetup {
    double pwx = 0.0;    // decoupler-channel pulse width
    double pwxlvl = 0.0; // decoupler-channel power
    char mode = 'p';     // 's', 'd' or 'p'
};

// One way of issuing the sequence's events.  Each event carries everything
// any rendition needs: the run's arguments and the text record template
// (each template is a literal of the walk, so the records stay exact).
class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void status(int period, const char *record) = 0;
    virtual void delay(double time, const char *record) = 0;
    virtual void power(double power, int channel, const char *record) = 0;
    virtual void pulse(double width, int phase, double rof1, double rof2, int channel,
                       const char *record) = 0;
    virtual void simultaneous_pulse(double width1, double width2, int phase, double rof1,
                                    double rof2, int channel1, int channel2,
                                    const char *record) = 0;
    virtual void receivers(const char *mask, const char *record) = 0;
    virtual void acquisition_start(double alfa, const char *record) = 0;
    virtual void acquisition(double points, double dwell, const char *record) = 0;
    virtual void acquisition_end(const char *record) = 0;
    virtual void blanking(int flag, int channel, const char *record) = 0;
    virtual void waveform_on(wavl_shape *shape) = 0;
    virtual void waveform_off() = 0;
};

// Reads the parameters, warns about the receivers and refuses decoupling
// (message and psg_abort(1)); makes the waveform in mode 'd' when due.
// false when the sequence was aborted: nothing more may be issued then.
bool prepare_sequence(SequenceSetup &setup);

// Issues every event of the sequence, in order, to `sink`.
void walk_sequence(const SequenceSetup &setup, EventSink &sink);

} // namespace twinscan

#endif
