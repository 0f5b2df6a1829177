/*
 * hmqc.c - a 2D HMQC-style experiment: proton magnetisation passes to the X
 * nucleus (13C, 15N) and back, X evolves during t1, and the proton signal
 * is acquired with X decoupled.
 *
 *   1H  90 ---- 1/2J ----------------- 180 ----------------- 1/2J --- acquire
 *   X              90(ph1) -- t1/2 ---------- t1/2 -- 90 -----------   decouple
 *
 * The library walks t1 (d2 grows by 1/sw1 per increment, ni increments) and
 * the two quadrature components (parameter phase = 1, 2).  Two scans cycle
 * the first X pulse x, -x with the receiver following, which cancels the
 * signal of protons not bound to X.
 */
#include <psg.h>
#include <psgparam.h>

static const int ph1[] = {0, 2};  /* first X 90: x, -x */
static const int ph1y[] = {1, 3}; /* the same shifted by 90 degrees: y, -y */
static const int rec[] = {0, 2};  /* the receiver follows */

void pulsesequence(void)
{
    double pwx = getval("pwx");      /* X 90-degree pulse */
    double pwxlvl = getval("pwxlvl");
    double dpwr = getval("dpwr");    /* X decoupling power */
    double tau = 1.0 / (2.0 * getval("jxh")); /* 1/(2J), J the one-bond coupling */
    int quadrature = (int)getval("phase");    /* 1 or 2 */
    int t_ph1 = phasetable("ph1", 2, ph1);
    int t_ph1y = phasetable("ph1y", 2, ph1y);
    int t_rec = phasetable("rec", 2, rec);
    wavl_shape xdec = wavl_mix("xdec", "GARP1", dpwr, getval("pwxdec"), dpwr);

    status(0);
    genPower(tpwr, OBSch);
    genPower(pwxlvl, DECch);
    delay(d1);                                      /* relaxation */
    status(1);
    genRFPulse(pw, 0, rof1, rof2, OBSch);           /* 1H 90 x */
    eventlabel("1/2J");
    delay(tau);
    /* The second quadrature component shifts the first X pulse by 90 degrees. */
    genRFPulse(pwx, phaseof(quadrature == 2 ? t_ph1y : t_ph1), rof1, rof2, DECch);
    eventlabel("t1/2");
    delay(d2 / 2.0);
    genRFPulse(2.0 * pw, 0, rof1, rof2, OBSch);     /* 1H 180: refocuses the coupling */
    eventlabel("t1/2");
    delay(d2 / 2.0);
    genRFPulse(pwx, 0, rof1, rof2, DECch);          /* X 90 x */
    eventlabel("1/2J");
    delay(tau);
    genPower(dpwr, DECch);
    status(2);
    receiverphase(phaseof(t_rec));
    wavl_on(&xdec, DECch);                          /* X decoupling during acquisition */
    setactivercvrs("y");
    startacq(alfa);
    acquire(np, 1.0 / sw);
    endacq();
    wavl_off(DECch);
}
