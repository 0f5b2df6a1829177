// The dual-receiver experiment: excite the observe channel and acquire it on
// the first receiver, then excite the decoupler channel and acquire it on the
// second (modes 's' and 'd'; 'd' decouples the observe nucleus meanwhile), or
// pulse both channels together (mode 'p').
#include "sequence.h"

#include <cstdio>
#include <cstring>

#include "psgparam.h"

namespace twinscan {

namespace {

// The decoupling waveform.  Made at the first element of an arrayed
// experiment and reused by the later ones, so it must outlive every call.
wavl_shape H1dec;

constexpr double kArrayedThreshold = 1.5;

bool decoupling_requested()
{
    return dm[0] == 'y' || dm[1] == 'y' || dm[2] == 'y' || dm[3] == 'y' || homo[0] == 'y';
}

char mode_letter(const char *mrmode)
{
    return mrmode[0] == 'd' || mrmode[0] == 's' ? mrmode[0] : 'p';
}

void prepare_waveform()
{
    double Hdpwr = getval("Hdpwr");
    double compH = getval("compH");
    double pw90 = getval("pw90");
    double arraydim = getval("arraydim");
    if (arraydim < kArrayedThreshold || ix == 1)
        H1dec = wavl_mix("kirtaW16", "WALTZ16", Hdpwr, compH * pw90, tpwr);
}

void acquire_on(EventSink &sink, const char *mask, const char *receivers_record)
{
    sink.receivers(mask, receivers_record);
    sink.acquisition_start(alfa, "137 startacq  1 0 1 alfa %.9f \n");
    sink.acquisition(np, 1.0 / sw, "1 acquire  1 0 2 np %.9f 1.0/sw %.9f \n");
    sink.acquisition_end("12 endacq  0 0 0 \n");
}

} // namespace

bool prepare_sequence(SequenceSetup &setup)
{
    char rcvrs[256] = "";
    char mrmode[256] = "";
    setup.pwx = getval("pwx");
    setup.pwxlvl = getval("pwxlvl");
    getstr("rcvrs", rcvrs);
    getstr("mrmode", mrmode);

    if (std::strcmp(rcvrs, "yy") != 0)
        std::puts("rcvrs parameter should be set to 'yy'");
    if (decoupling_requested()) {
        std::printf("dm should be set to 'nnnn' and homo should set to 'n'");
        psg_abort(1);
        return false;
    }

    setup.mode = mode_letter(mrmode);
    if (setup.mode == 'd')
        prepare_waveform();
    return true;
}

void walk_sequence(const SequenceSetup &setup, EventSink &sink)
{
    const bool decouple = setup.mode == 'd';

    sink.status(0, "87 status  0 1 0 A %d \n");
    sink.delay(1.0e-4, "10 delay  1 0 1 1.0e-4 %.9f \n");
    sink.power(setup.pwxlvl, DECch, "60 decpower  2 0 1 pwxlvl %.9f \n");
    sink.power(tpwr, OBSch, "60 obspower  1 0 1 tpwr %.9f \n");
    sink.delay(d1, "10 delay  1 0 1 d1 %.9f \n");
    sink.status(1, "87 status  0 1 0 B %d \n");

    if (setup.mode == 'p') {
        sink.delay(d2, "10 delay  1 0 1 d2 %.9f \n");
        sink.simultaneous_pulse(
            pw, setup.pwx, oph, rof1, rof2, OBSch, DECch,
            "82 simpulse  2 0 1 1 rof1 %.9f rof2 %.9f  %d oph %d pw %.9f  %d oph %d pwx %.9f \n");
        sink.status(2, "87 status  0 1 0 C %d \n");
        return; // the library acquires after the sequence
    }

    sink.pulse(pw, oph, rof1, rof2, OBSch,
               "48 rgpulse  1 0 1 1 rof1 %.9f rof2 %.9f  1 oph %d pw %.9f \n");
    acquire_on(sink, "yn", "163 setactivercvrs  1 0 0 yn ?%s \n");
    sink.delay(1.0e-6, "10 delay  1 0 1 1.0e-6 %.9f \n");
    if (decouple) {
        sink.blanking(0, OBSch, "2 obsunblank  1 1 0 on 1 \n");
        sink.waveform_on(&H1dec);
    }
    sink.delay(d2, "10 delay  1 0 1 d2 %.9f \n");
    sink.pulse(setup.pwx, oph, rof1, rof2, DECch,
               "48 decrgpulse  1 0 1 1 rof1 %.9f rof2 %.9f  2 oph %d pwx %.9f \n");
    sink.status(2, "87 status  0 1 0 C %d \n");
    acquire_on(sink, "ny", "163 setactivercvrs  1 0 0 ny ?%s \n");
    if (decouple) {
        sink.waveform_off();
        sink.blanking(1, OBSch, "2 obsblank  1 1 0 on 0 \n");
    }
}

} // namespace twinscan
