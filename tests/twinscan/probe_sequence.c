/* A sequence whose primitives take values the runner does not pre-check:
 * the delay, the acquisition's points and the power come from parameters
 * of the test's own choosing. */
#include <psg.h>
#include <psgparam.h>

void pulsesequence(void)
{
    status(0);
    delay(getval("probe_delay"));
    genPower(getval("probe_power"), OBSch);
    genRFPulse(pw, oph, rof1, rof2, OBSch);
    setactivercvrs("y");
    startacq(alfa);
    acquire(getval("probe_points"), 1.0 / sw);
    endacq();
}
