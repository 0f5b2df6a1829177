/* A sequence whose primitives take values the runner does not pre-check:
 * the delay, the acquisition's points and the power come from parameters
 * of the test's own choosing; "probe_repeat", when it exists, adds that
 * many delays of 0 (an element of many events). */
#include <psg.h>
#include <psgparam.h>

void pulsesequence(void)
{
    double repeat = psgparam_exists("probe_repeat") ? getval("probe_repeat") : 0.0;
    for (double i = 0.0; i < repeat; i += 1.0)
        delay(0.0);
    status(0);
    delay(getval("probe_delay"));
    genPower(getval("probe_power"), OBSch);
    genRFPulse(pw, oph, rof1, rof2, OBSch);
    setactivercvrs("y");
    startacq(alfa);
    acquire(getval("probe_points"), 1.0 / sw);
    endacq();
}
