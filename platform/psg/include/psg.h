/*
 * psg.h - the environment's pulse-sequence generation library (stand-in).
 *
 * The library is the process entry of an experiment program: its main()
 * loads the experiment's parameters, writes the program's sequence variables
 * and calls the program's sequence function once per scan of every element,
 * or one of the two display renditions once per element when the sequence
 * is drawn rather than run.  The program answers with the sequence
 * primitives below.
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
 *
 * An experiment is a series of elements: every increment of its indirect
 * dimensions, every quadrature component and every array element (see
 * psgparam.h for the order).  A run acquires every element in nt scans
 * (parameter "nt", 1 when missing): pulsesequence() is called once per scan,
 * with ct counting the element's scans from 0.  The ss steady-state scans
 * (parameter "ss", 0 when missing) precede the first element's first scan;
 * they are not acquired and not traced, and take that scan's time each.
 * The display renditions are called once per element, with ct 0.
 */
extern char dm[256];    /* decoupler mode text */
extern char homo[256];  /* homodecoupling flag text */
extern double d1, d2, pw, tpwr, rof1, rof2, alfa, np, sw;
extern double d3, d4;   /* the delays indirect dimensions 2 and 3 step */
extern int oph;         /* phase parameter "oph" (a number the sequence may pass on) */
extern int ix;          /* 1-based number of the current element */
extern int ct;          /* scan counter of the current element, from 0 */
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

/*
 * Start `record`'s waveform on channel `channel` (decoupling on the
 * decoupler channel during acquisition: wavl_on(&shape, DECch)); NULL is
 * ignored.  It runs until wavl_off(channel).
 */
void wavl_on(wavl_shape *record, int channel);

/* Stop the waveform of channel `channel`. */
void wavl_off(int channel);

/* ---- sequence primitives (run mode) --------------------------------------
 * Times are seconds, powers the hardware's units (dB), channels 1 (observe),
 * 2 (decoupler) and up.  Phases are whole quarter turns: 0, 1, 2, 3 are 0,
 * 90, 180 and 270 degrees, drawn as x, y, -x and -y; a pulse takes any whole
 * number (4 is 0 again), a phase table and the receiver only 0 to 3.
 * Values the hardware would refuse end the run with status 1 and a message
 * naming the element (and the scan, when the element has several), the
 * primitive and the value: times and pulse widths must be finite and not
 * negative, the dwell finite and positive, the points a positive even whole
 * number (real and imaginary points), powers finite.  Every accepted call is
 * recorded as given.
 */

/*
 * End the run with exit status 1 after standard output was flushed and the
 * abort was reported on standard error.  Never returns.
 */
void psg_abort(int code);

void status(int n);          /* start of status period n (0 A, 1 B, 2 C, ...) */
void delay(double time);
void genPower(double power, int channel);

/*
 * One pulse of `width` on `channel` with phase `phase` (quarter turns, see
 * above), the transmitter gated on `rof1` before and `rof2` after it.
 */
void genRFPulse(double width, int phase, double rof1, double rof2, int channel);

/* Two pulses centred on each other, each with its width, phase and channel. */
void gensim_pulse(double width1, double width2, int phase1, int phase2,
                  double rof1, double rof2, int channel1, int channel2);

/* One letter per receiver, 'y' takes the next acquisition: "yn", "ny". */
void setactivercvrs(const char *mask);
void startacq(double alfa);
void acquire(double points, double dwell);
void endacq(void);
void genBlankOnOff(int flag, int channel); /* 0 unblank, 1 blank */

/* ---- phase cycles ---------------------------------------------------------
 *
 * A phase table is a named list of phases (0 to 3, quarter turns) of which
 * each scan uses one entry: scan ct takes entry ct modulo the table's
 * length, so a table of 4 entries repeats every 4 scans.  Declare tables in
 * pulsesequence() itself, before the calls that use them; declaring a name
 * again replaces its entries and keeps its number.  Entries outside 0 to 3,
 * a length outside 1 to 1024 or a name that is not 1 to 31 letters, digits
 * or '_' end the run with status 1 and a message naming the table, the
 * entry, the element and the scan; the run rehearses the experiment quietly
 * before tracing it, so this happens before anything runs.
 *
 *     static const int ph1[] = {0, 2};
 *     int t1 = phasetable("ph1", 2, ph1);
 *     genRFPulse(pw, phaseof(t1), rof1, rof2, OBSch);
 *     receiverphase(phaseof(t1));
 *
 * The trace and the diagram name a phase by its table when the phaseof()
 * that gave it came right before the call (as an argument); a phase kept in
 * a variable for later calls is shown by its value.
 */

/*
 * Declare the table `name` of `length` entries (copied).  Returns the
 * table's number, 0 for the first name declared, to pass to phaseof().
 */
int phasetable(const char *name, int length, const int *entries);

/*
 * The entry of table `table` for the current scan: entries[ct % length].
 * A number phasetable() never returned ends the run with status 1.
 */
int phaseof(int table);

/*
 * The receiver's phase for the scan's acquisitions (0 to 3; anything else
 * ends the run with status 1).  A scan that never sets it acquires at 0.
 */
void receiverphase(int phase);

/* ---- indirect dimensions --------------------------------------------------
 *
 * The library steps d2 (d3, d4) itself: at increment i of dimension 1 (2,
 * 3), from 0, d2 is its parameter's first value + i / sw1 (sw2, sw3), and
 * the quadrature parameter "phase" ("phase2", "phase3") reads as the
 * current component's value (getval("phase") is 1 or 2 for the classic
 * hypercomplex pair, to switch the phase of the dimension's first pulse).
 */

/* Increment (from 0) of indirect dimension `dimension` (1 to 3) in the
 * current element; 0 for a dimension not walked. */
int incrementof(int dimension);

/* ---- labels ----------------------------------------------------------------
 *
 * The diagram names a delay, pulse or acquisition only when the sequence
 * gave it a name: eventlabel() names the next of them (a delay, a pulse or
 * pulse pair, an acquisition) and is used up by it; everything else is
 * labelled by its duration alone.  The name is cut to 127 bytes.
 */
void eventlabel(const char *name);

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
