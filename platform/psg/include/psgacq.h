/*
 * psgacq.h - acquisition communication companion of the pulse-sequence
 * generation library (stand-in).
 *
 * Where a console would receive the generated events, this stand-in keeps
 * them per element (every element, one or none: see psgacq_keep) and, when
 * tracing, prints each one as it arrives as one line in call form
 * ("genRFPulse(9.5e-06, 0, 1e-05, 1e-05, 1)"), with a header before and a
 * summary after each element.
 *
 * An element may be acquired in several scans (psgacq_begin_scan).  Its
 * first scan is traced in full; every later one is held until it ends and
 * then traced as one line, "scan 3 of 8: ph1=2, receiver=2", naming the
 * phases that differ from the first scan's (by the table each came from,
 * else "pulse N", the pulse's number in the scan, a simultaneous pair
 * counting two, or "receiver"; "phases as scan 1" when none does).  A scan
 * that differs in anything else is traced in full after the line "scan 3 of
 * 8, unlike scan 1"; a scan asked for in full is traced as it comes after
 * "scan 3 of 8".
 *
 * Not thread-safe.  Compiles as C11 and C++.
 */
#ifndef PSENV_PSGACQ_H
#define PSENV_PSGACQ_H

#include <stddef.h>
#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum psgacq_kind {
    PSGACQ_STATUS,        /* integer[0] period */
    PSGACQ_DELAY,         /* real[0] time */
    PSGACQ_POWER,         /* real[0] power, integer[0] channel */
    PSGACQ_PULSE,         /* real width, rof1, rof2; integer phase, channel */
    PSGACQ_PULSE_PAIR,    /* real width1, width2, rof1, rof2;
                             integer phase1, phase2, channel1, channel2 */
    PSGACQ_RECEIVERS,     /* text mask */
    PSGACQ_ACQUIRE_START, /* real[0] alfa */
    PSGACQ_ACQUIRE,       /* real[0] points, real[1] dwell */
    PSGACQ_ACQUIRE_END,   /* nothing */
    PSGACQ_BLANKING,      /* integer[0] flag (0 unblank, 1 blank), integer[1] channel */
    PSGACQ_WAVEFORM_MADE, /* text name, pattern; real power, pulse90, refpower */
    PSGACQ_WAVEFORM_ON,   /* text name, pattern; real power, pulse90, refpower */
    PSGACQ_WAVEFORM_OFF,  /* nothing */
    PSGACQ_ABORT,         /* integer[0] code */
    PSGACQ_RECEIVER_PHASE, /* integer[0] phase; text: the phase table it was taken from */
    PSGACQ_PHASE_TABLE,   /* text name; integer[0] entries; pattern: the entries as
                             "0, 1, 2, 3", cut with "..." when they do not fit */
    PSGACQ_CHANNEL_WAVEFORM_ON,  /* as PSGACQ_WAVEFORM_ON; integer[0] channel */
    PSGACQ_CHANNEL_WAVEFORM_OFF, /* integer[0] channel */
    PSGACQ_LABEL          /* text: the name the sequence gave its next timed event */
} psgacq_kind;
/*
 * Pulses (PSGACQ_PULSE) carry in `text`, a pair (PSGACQ_PULSE_PAIR) in `text`
 * and `pattern`, the name of the phase table each phase was taken from ("",
 * a fixed phase).  Phases count quarter turns: 0, 1, 2, 3 are 0, 90, 180 and
 * 270 degrees (x, y, -x, -y).
 */

/* One event; the fields each kind uses are listed above, the rest are 0. */
typedef struct psgacq_event {
    psgacq_kind kind;
    double real[4];
    int integer[4];
    char text[128];    /* terminated */
    char pattern[128]; /* terminated */
} psgacq_event;

/* What one element adds up to. */
typedef struct psgacq_summary {
    int pulses;          /* RF pulses; a simultaneous pair counts two */
    int acquisitions;    /* explicit acquisitions */
    double delay_time;   /* sum of the delays */
    double pulse_time;   /* rof1 + width + rof2 per pulse call (the longer of a pair) */
    double acquire_time; /* points / 2 x dwell per acquisition: the points count
                            real and imaginary values */
    double total_time;   /* the three together */
} psgacq_summary;

/* What all scans of one element add up to. */
typedef struct psgacq_totals {
    int scans;              /* scans acquired */
    double first_scan_time; /* total_time of its first scan */
    double total_time;      /* total_time of all its scans together */
} psgacq_totals;

/* Arguments of psgacq_keep() besides an element number. */
#define PSGACQ_KEEP_ALL 0
#define PSGACQ_KEEP_NONE (-1)

/*
 * Which elements keep their events for psgacq_element_events():
 * PSGACQ_KEEP_ALL every element (the default), an element number N >= 1
 * only element N, PSGACQ_KEEP_NONE (or any other negative number) none.
 * Summaries are kept for the same elements, and the element in progress has
 * its summary in every case.  The trace is the same whatever is kept, so a
 * run of many elements that shows or draws one of them needs memory for one
 * element only.  Takes effect with the next element begun; call it before
 * psgacq_begin_element(1, ...).
 */
void psgacq_keep(int element);

/*
 * Trace to `stream` (NULL: no trace).  The stream is borrowed; it must stay
 * open while tracing.
 */
void psgacq_set_trace(FILE *stream);

/*
 * Forget every kept event and start element `element` of `count`; a trace
 * gets the line "element <element> of <count>" (after a blank line between
 * elements).  Elements are numbered from 1 and must come in order.
 */
void psgacq_begin_element(int element, int count);

/*
 * As psgacq_begin_element(); a trace also gets the line "arrayed: <values>"
 * after the header when `values` is neither NULL nor empty (the element's
 * arrayed values, "pw 1e-05, d2 0.001").
 */
void psgacq_begin_labelled_element(int element, int count, const char *values);

/*
 * As psgacq_begin_element(); a trace also gets `lines` after the header,
 * exactly as given (each line ending in a newline; NULL or "" adds none),
 * for instance what psgparam_describe_walk_element() says of the element.
 */
void psgacq_begin_described_element(int element, int count, const char *lines);

/*
 * Which scan of an element keeps its events and gives the element's summary
 * (default 1; a number beyond an element's scans means its first).  Takes
 * effect with the next scan begun.
 */
void psgacq_keep_scan(int scan);

/*
 * Begin scan `scan` (1 to `count`) of the current element.  Scan 1 is
 * traced in full, any other when `in_full` is nonzero; the rest are held
 * and traced as described above when they end.  A trace of an element of
 * several scans gets "scan N of COUNT" before each scan traced in full.
 * Without this call an element is one scan traced as its events come.
 */
void psgacq_begin_scan(int scan, int count, int in_full);

/* End the scan in progress: its line (or held events) goes to the trace. */
void psgacq_end_scan(void);

/*
 * Trace in full whatever the scan in progress holds, after "scan N of COUNT,
 * cut short": called before a run ends in the middle of a scan, so that the
 * trace shows the calls up to the end.  An abort event does it itself.
 */
void psgacq_flush_scan(void);

/* A line of the caller's own in the trace (a newline is added). */
void psgacq_note(const char *line);

/*
 * Keep `event` for the current element (when its events are kept) and trace
 * it.  Without the memory to keep it, the event is still traced and counted
 * in the summary, and the element's events count as not kept: a diagram of
 * part of an element would mislead.
 */
void psgacq_send(const psgacq_event *event);

/*
 * Close the current element; a trace gets its summary line (of the scan it
 * keeps, see psgacq_keep_scan) and, after several scans, "scans: N, total T
 * s".
 */
void psgacq_end_element(void);

/*
 * Scans and time of element `element` (an element of no scan begun counts
 * one); 0, or -1 for an element not seen or no longer kept.
 */
int psgacq_element_totals(int element, psgacq_totals *totals);

/*
 * Events of element `element` of the current experiment: their number, and
 * through `events` (unless NULL) their array, valid until the next
 * psgacq_begin_element(1, ...).  0 for an element not seen or whose events
 * are not kept (see psgacq_keep).
 */
size_t psgacq_element_events(int element, const psgacq_event **events);

/*
 * Summary of element `element`; 0, or -1 for an element not seen or no
 * longer kept (see psgacq_keep).
 */
int psgacq_element_summary(int element, psgacq_summary *summary);

/*
 * Write `event` in call form, without a newline, into `buf` of `size` bytes
 * (terminated, cut when too long).  Returns the length it needed.
 */
int psgacq_format_event(const psgacq_event *event, char *buf, size_t size);

#ifdef __cplusplus
}
#endif

#endif
