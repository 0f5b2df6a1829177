/*
 * onepulse.c - the simplest experiment: wait, excite the observe nucleus
 * with one pulse, acquire its signal.  Everything else (the sequence
 * variables d1, pw, np, ..., the process entry, the drawing) comes from the
 * pulse-sequence generation library.
 */
#include <psg.h>
#include <psgparam.h>

void pulsesequence(void)
{
    double tof = getval("tof"); /* any parameter of the file can be read */
    (void)tof;

    status(0);
    delay(d1);                 /* relaxation delay */
    genPower(tpwr, OBSch);     /* observe power */
    status(1);
    genRFPulse(pw, oph, rof1, rof2, OBSch);
    status(2);
    setactivercvrs("y");       /* the first receiver takes the signal */
    startacq(alfa);
    acquire(np, 1.0 / sw);     /* np counts real and imaginary points */
    endacq();
}
