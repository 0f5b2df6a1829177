/*
 * psg.h - the environment's pulse-sequence generation library (stand-in).
 *
 * The library is the process entry of an experiment program: its main()
 * loads the experiment's parameters, writes the program's sequence variables
 * and calls the program's sequence function once per array element, or one
 * of the two display renditions when the sequence is drawn rather than run.
 * The program answers with the sequence primitives below.
 *
 * Run mode: every primitive is handed to the acquisition communication
 * library (psgacq.h), which prints it as one trace line.  Draw modes:
 * DPSprint() and DPStimer() write their records to standard output.
 *
 * Parameter reads (getval, getstr) live in the parameter companion
 * (psgparam.h); they are declared there.
 *
 * Not thread-safe; one sequence runs at a time.  Compiles as C11 and C++.
 */
#ifndef PSENV_PSG_H
#define PSENV_PSG_H

#ifdef __cplusplus
extern "C" {
#endif

/* ---- what the experiment program defines and exports ---------------------
 *
 * The library writes these before every call of a sequence function, from
 * the parameters of the same names (OBSch 1 and DECch 2 unless parameters of
 * those names exist; oph rounded to the nearest integer).  The program only
 * reads them.  The library holds weak definitions of all of them and of the
 * two renditions, so a program needs to define pulsesequence() alone; what
 * the program defines and exports itself is used instead.  A rendition the
 * program lacks ends a drawing with "no display rendition" and status 1.
 */
extern char dm[256];    /* decoupler mode text */
extern char homo[256];  /* homodecoupling flag text */
extern double d1, d2, pw, tpwr, rof1, rof2, alfa, np, sw;
extern int oph;         /* phase of every pulse */
extern int ix;          /* 1-based number of the current array element */
extern int OBSch;       /* observe channel */
extern int DECch;       /* decoupler channel */

void pulsesequence(void);   /* runs the sequence */
void t_pulsesequence(void); /* timing rendition: events to DPStimer() */
void x_pulsesequence(void); /* text rendition: records to DPSprint() */

/* ---- shaped pulses ------------------------------------------------------- */

/*
 * A decoupling waveform made by wavl_mix().  The layout is the library's own;
 * programs keep it whole and only pass its address back.  Exactly 328 bytes.
 */
typedef struct wavl_shape {
    char name[128];     /* waveform name, terminated, cut to 127 bytes */
    char pattern[128];  /* modulation pattern, terminated, cut to 127 bytes */
    double power;       /* waveform power */
    double pulse90;     /* 90-degree pulse width at that power */
    double refpower;    /* power the pulse width refers to */
    double reserved[6]; /* zero */
} wavl_shape;

#ifdef __cplusplus
static_assert(sizeof(wavl_shape) == 328, "a shape record holds 328 bytes");
#else
_Static_assert(sizeof(wavl_shape) == 328, "a shape record holds 328 bytes");
#endif

/*
 * Make the waveform `name` with modulation `pattern` at `power`, with the
 * 90-degree width `pulse90` referring to `refpower`.  NULL texts count as "".
 * Returned by value; nothing is allocated.
 */
wavl_shape wavl_mix(const char *name, const char *pattern, double power,
                    double pulse90, double refpower);

/* Start `record`'s waveform on the observe transmitter (NULL is ignored). */
void wavl_xmtron(wavl_shape *record);

/* Stop the observe transmitter's waveform. */
void wavl_xmtroff(void);

/* ---- sequence primitives (run mode) --------------------------------------
 * Times are seconds, channels 1 (observe) and 2 (decoupler).  Values the
 * hardware would refuse end the run with status 1 and a message naming the
 * element, the primitive and the value: times and pulse widths must be
 * finite and not negative, the dwell finite and positive, the points a
 * positive even whole number (real and imaginary points), powers finite.
 * Every accepted call is recorded as given.
 */

/*
 * End the run with exit status 1 after standard output was flushed and the
 * abort was reported on standard error.  Never returns.
 */
void psg_abort(int code);

void status(int n);          /* start of status period n (0 A, 1 B, 2 C, ...) */
void delay(double time);
void genPower(double power, int channel);
void genRFPulse(double width, int phase, double rof1, double rof2, int channel);
void gensim_pulse(double width1, double width2, int phase1, int phase2,
                  double rof1, double rof2, int channel1, int channel2);
/* One letter per receiver, 'y' takes the next acquisition: "yn", "ny". */
void setactivercvrs(const char *mask);
void startacq(double alfa);
void acquire(double points, double dwell);
void endacq(void);
void genBlankOnOff(int flag, int channel); /* 0 unblank, 1 blank */

/* ---- display calls (draw modes) ------------------------------------------ */

/*
 * Timing event: `code`, two zero integers and the number `count` of reals;
 * when count > 0, four further zero integers and then `count` doubles follow.
 * Writes "code count real..." (reals with %.9g) as one line in timing mode.
 */
void DPStimer(int code, int zero1, int zero2, int count, ...);

/*
 * Text record: `format` with its values, written to standard output exactly
 * as formatted (text mode).  `time` is the event's duration.
 */
void DPSprint(double time, const char *format, ...);

/* Drawing of a waveform start/stop: one line "name n label" / "name n". */
void dps_wavl_xmtron(const char *name, int n, wavl_shape *record, const char *label);
void dps_wavl_xmtroff(const char *name, int n);

#ifdef __cplusplus
}
#endif

#endif
