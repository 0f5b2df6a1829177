/* A four-step cycle: the pulse and the receiver step through 0, 1, 2, 3.
 * "cycle_bad_entry", when it exists, replaces the third entry of the
 * pulse's table at element "cycle_bad_element" (every element when that
 * parameter is missing); "cycle_bad_table" > 0 asks phaseof() for a table
 * never declared.  The pulse's phase is also stepped by 2 on odd increments
 * of dimension 1, read through incrementof(). */
#include <psg.h>
#include <psgparam.h>

void pulsesequence(void)
{
    int entries[4] = {0, 1, 2, 3};
    int receiver[4] = {0, 1, 2, 3};
    if (psgparam_exists("cycle_bad_entry") &&
        (!psgparam_exists("cycle_bad_element") || ix == (int)getval("cycle_bad_element")))
        entries[2] = (int)getval("cycle_bad_entry");
    int ph = phasetable("ph1", 4, entries);
    int rec = phasetable("rec", 4, receiver);
    if (psgparam_exists("cycle_bad_table") && getval("cycle_bad_table") > 0)
        phaseof(ph + 7);

    status(0);
    delay(d1);
    status(1);
    genRFPulse(pw, phaseof(ph), rof1, rof2, OBSch);
    genRFPulse(pw, incrementof(1) % 2 == 1 ? 2 : 0, rof1, rof2, OBSch);
    delay(d2);
    receiverphase(phaseof(rec));
    status(2);
    setactivercvrs("y");
    startacq(alfa);
    acquire(np, 1.0 / sw);
    endacq();
}
