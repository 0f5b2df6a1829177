// The three ways of issuing the sequence's events: run them through the
// library's primitives, time them for DPStimer, or print them for DPSprint.
#include "sequence.h"

namespace twinscan {
namespace {

class RunSink final : public EventSink {
public:
    void status(int period, const char *) override { ::status(period); }
    void delay(double time, const char *) override { ::delay(time); }
    void power(double power, int channel, const char *) override { genPower(power, channel); }
    void pulse(double width, int phase, double r1, double r2, int channel,
               const char *) override
    {
        genRFPulse(width, phase, r1, r2, channel);
    }
    void simultaneous_pulse(double width1, double width2, int phase, double r1, double r2,
                            int channel1, int channel2, const char *) override
    {
        gensim_pulse(width1, width2, phase, phase, r1, r2, channel1, channel2);
    }
    void receivers(const char *mask, const char *) override { setactivercvrs(mask); }
    void acquisition_start(double a, const char *) override { startacq(a); }
    void acquisition(double points, double dwell, const char *) override
    {
        acquire(points, dwell);
    }
    void acquisition_end(const char *) override { endacq(); }
    void blanking(int flag, int channel, const char *) override { genBlankOnOff(flag, channel); }
    void waveform_on(wavl_shape *shape) override { wavl_xmtron(shape); }
    void waveform_off() override { wavl_xmtroff(); }
};

// Event codes of the timing recorder; the text records lead with the same.
enum TimingCode : int {
    kAcquire = 1,
    kBlank = 2,
    kDelay = 10,
    kAcquireEnd = 12,
    kPulse = 48,
    kPower = 60,
    kPulsePair = 82,
    kStatus = 87,
    kAcquireStart = 137,
    kReceivers = 163,
};

// Both drawing renditions draw the waveform the same way.
class DrawingSink : public EventSink {
public:
    void waveform_on(wavl_shape *shape) override
    {
        dps_wavl_xmtron("wavl_xmtron", 1, shape, "&H1dec");
    }
    void waveform_off() override { dps_wavl_xmtroff("wavl_xmtroff", 1); }
};

class TimingSink final : public DrawingSink {
public:
    void status(int, const char *) override { bare(kStatus); }
    void delay(double time, const char *) override
    {
        DPStimer(kDelay, 0, 0, 1, 0, 0, 0, 0, time);
    }
    void power(double, int, const char *) override { bare(kPower); }
    void pulse(double width, int, double r1, double r2, int, const char *) override
    {
        DPStimer(kPulse, 0, 0, 3, 0, 0, 0, 0, width, r1, r2);
    }
    void simultaneous_pulse(double width1, double width2, int, double r1, double r2, int, int,
                            const char *) override
    {
        DPStimer(kPulsePair, 0, 0, 6, 0, 0, 0, 0, width1, width2, 0.0, 0.0, r1, r2);
    }
    void receivers(const char *, const char *) override { bare(kReceivers); }
    void acquisition_start(double, const char *) override { bare(kAcquireStart); }
    void acquisition(double points, double dwell, const char *) override
    {
        DPStimer(kAcquire, 0, 0, 2, 0, 0, 0, 0, points, dwell);
    }
    void acquisition_end(const char *) override { bare(kAcquireEnd); }
    void blanking(int, int, const char *) override { bare(kBlank); }

private:
    static void bare(int code) { DPStimer(code, 0, 0, 0); }
};

// Printed reals go through single precision, as the records always did.
double single(double value)
{
    return static_cast<double>(static_cast<float>(value));
}

// The pair record names its channels 1 and 2 whatever OBSch and DECch hold.
constexpr int kPairFirstChannel = 1;
constexpr int kPairSecondChannel = 2;

class TextSink final : public DrawingSink {
public:
    void status(int period, const char *record) override { DPSprint(0.0, record, period); }
    void delay(double time, const char *record) override
    {
        DPSprint(time, record, single(time));
    }
    void power(double power, int, const char *record) override
    {
        DPSprint(0.0, record, single(power));
    }
    void pulse(double width, int phase, double r1, double r2, int, const char *record) override
    {
        DPSprint(width, record, single(r1), single(r2), phase, single(width));
    }
    void simultaneous_pulse(double width1, double width2, int phase, double r1, double r2, int,
                            int, const char *record) override
    {
        DPSprint(width1, record, single(r1), single(r2), kPairFirstChannel, phase,
                 single(width1), kPairSecondChannel, phase, single(width2));
    }
    void receivers(const char *mask, const char *record) override
    {
        DPSprint(0.0, record, mask);
    }
    void acquisition_start(double a, const char *record) override
    {
        DPSprint(0.0, record, single(a));
    }
    void acquisition(double points, double dwell, const char *record) override
    {
        DPSprint(dwell, record, single(points), single(dwell));
    }
    void acquisition_end(const char *record) override { DPSprint(0.0, record); }
    void blanking(int, int, const char *record) override { DPSprint(0.0, record); }
};

void issue(EventSink &sink)
{
    SequenceSetup setup;
    if (prepare_sequence(setup))
        walk_sequence(setup, sink);
}

} // namespace
} // namespace twinscan

extern "C" void pulsesequence(void)
{
    twinscan::RunSink sink;
    twinscan::issue(sink);
}

extern "C" void t_pulsesequence(void)
{
    twinscan::TimingSink sink;
    twinscan::issue(sink);
}

extern "C" void x_pulsesequence(void)
{
    twinscan::TextSink sink;
    twinscan::issue(sink);
}
