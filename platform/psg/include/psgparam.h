/*
 * psgparam.h - parameter companion of the pulse-sequence generation library
 * (stand-in).
 *
 * Holds the experiment's parameters in the parameter store's trees (tree 1
 * "current", tree 0 "global") and answers the sequence's parameter reads.
 * It also chooses the values of one array element.  The string parameter
 * "array" lists the arrayed parameters:
 *   - names separated by commas are nested: every combination in turn, the
 *     last name varying fastest ("pw,d2" with 2 and 4 values: 8 elements);
 *   - names in parentheses vary together and need equal value counts
 *     ("(pw,d2)" with 2 and 2 values: 2 elements);
 *   - the two combine ("(pw,p1),d2").
 * While an element is selected, each listed parameter shows its value for
 * that element as its only value, every other parameter its first value as
 * always.
 *
 * Not thread-safe.  Compiles as C11 and C++.
 */
#ifndef PSENV_PSGPARAM_H
#define PSENV_PSGPARAM_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- the sequence's reads ------------------------------------------------ */

/*
 * First value of the real parameter `name`, from tree 1, or from tree 0 when
 * tree 1 lacks the name; 0.0 when there is none.  While warnings are on (see
 * psgparam_warn_missing) a name that exists in neither tree is reported once
 * through the error sink.
 */
double getval(const char *name);

/*
 * First value of the string parameter `name` (tree 1, then tree 0) into
 * `buf`, which must hold 256 bytes: at most 255 characters, terminated, the
 * rest of the 256 bytes zero.  0 on success; -1 with an empty text when
 * there is no such string parameter.  Warns about a missing name like
 * getval().
 */
int getstr(const char *name, char *buf);

/* ---- the library's side -------------------------------------------------- */

/*
 * Load the parameter file `path` into tree `tree` (0 or 1).  0 on success;
 * otherwise the store's code, already reported through the error sink as
 * "<path>: <the code's words>".
 */
int psgparam_load(int tree, const char *path);

/*
 * Receiver of the messages the parameter store reports (through the error
 * sink) while this library works: `text` is one message, newline included,
 * valid during the call.  NULL restores standard error.
 */
typedef void (*psgparam_reporter)(const char *text, void *context);
void psgparam_set_reporter(psgparam_reporter reporter, void *context);

/* 1 when a parameter `name` exists in tree 1 or tree 0, else 0. */
int psgparam_exists(const char *name);

/*
 * Report, once per name, reads of parameters that exist in neither tree
 * (`on` nonzero) or stop reporting them (0).  Off at the start; the library
 * turns it on while the sequence runs, so that its own reads stay quiet.
 * psgparam_begin_experiment() forgets the names already reported.
 */
void psgparam_warn_missing(int on);

/*
 * Prepare an experiment: remember the values of the parameters listed in
 * "array" and set the real parameter "arraydim" in tree 1 to the number of
 * elements (the product of the nested lengths; 1 when "array" is empty or
 * missing).  Returns that number, or -1 after reporting through the error
 * sink a malformed list, a name that is no parameter, a name listed twice,
 * a parenthesised group of unequal lengths, or an "arraydim" that cannot be
 * stored.
 */
int psgparam_begin_experiment(void);

/*
 * Make element `element` (1-based, as prepared by the last
 * psgparam_begin_experiment) the current one, see above.  0 on success, -1
 * for an element out of range or a value that could not be stored.
 */
int psgparam_select_element(int element);

/*
 * Name and value count of the i-th (0-based) arrayed parameter of the
 * prepared experiment, for reports; NULL when there is none.
 */
const char *psgparam_arrayed_name(int i, int *count);

/*
 * The arrayed values of element `element` of the prepared experiment, in the
 * order listed: "pw 1e-05, d2 0.001" (reals with %.9g, strings quoted); ""
 * when nothing is arrayed or the element is out of range.  Written into
 * `buf` of `size` bytes (terminated, cut when too long); returns the length
 * it needed.
 */
int psgparam_element_values(int element, char *buf, size_t size);

/* ---- the run's walk -------------------------------------------------------
 *
 * A run is a series of elements, each one acquisition (of nt scans): every
 * point of the indirect dimensions, every array element at each point, every
 * quadrature component of each array element.  Order, slowest first:
 *   1. the points: in a uniform run the whole grid, dimension 1's increment
 *      fastest; in a sparse run the sampling schedule's rows, in their order;
 *   2. the array elements ("array", as above);
 *   3. the quadrature components: "phase" fastest, then "phase2", "phase3".
 * Arrays sit inside the increments so that a series (a relaxation delay, a
 * mixing time) is acquired at every increment before the next, and drift
 * during a long 2D touches every member of the series alike; the two
 * quadrature components of one increment are acquired back to back, since
 * they become one complex point.
 *
 * Indirect dimension j (1, 2, 3) is walked when its increment count "ni"
 * (j = 1), "ni2", "ni3" exists, is active and is at least 1 (a whole number,
 * at most 1000000).  It needs the spectral width "sw1", "sw2", "sw3" (Hz,
 * finite and positive) and steps the delay "d2", "d3", "d4": at increment i
 * (from 0) the delay is its own first value + i / sw (the delay is created at
 * 0 when no file holds it).  The quadrature parameter "phase", "phase2",
 * "phase3" of a walked dimension, when it has several values (whole numbers
 * from 1; 1,2 is the classic hypercomplex pair), gives one element per
 * value.  While an element is selected, each stepped delay and each
 * quadrature parameter shows that element's value as its only value, so the
 * sequence reads them with getval("d2"), getval("phase"), ... as any other.
 *
 * When the string parameter "sampling" of tree 1 is exactly "sparse", the
 * points come from the sampling module (sparsamp.h): it is initialised from
 * tree 1 and makes the schedule (and writes it into the experiment
 * directory) or reads it from there, as "CStype" says; every walked
 * dimension must be one of its sparse dimensions and every row must lie
 * inside the grid.  Schedules of CStype "d" (entries that are no increment
 * indices) are refused.
 */

/* Most indirect dimensions a run walks. */
#define PSGPARAM_MOST_DIMENSIONS 3

typedef struct psgparam_walk {
    int elements;   /* elements walked: points x array elements x quadrature */
    int points;     /* points walked: the grid's, or the schedule's rows */
    int quadrature; /* quadrature components per array element */
    int arrayed;    /* array elements per point */
    int dimensions; /* indirect dimensions walked, 0 to 3 */
    int increments[PSGPARAM_MOST_DIMENSIONS]; /* ni, ni2, ni3 walked; 0 when not */
    int sparse;     /* 1 when the points are a sampling schedule's rows */
    int full_grid;  /* 1 while a sparse run walks its whole grid instead */
    double grid;          /* points of the whole grid (1 without dimensions) */
    double grid_elements; /* elements of the whole grid */
} psgparam_walk;

/*
 * Prepare a run: the arrays (psgparam_begin_experiment), the indirect
 * dimensions, the quadrature components and, for a sparse run, the schedule
 * of the sampling module in `expdir` (NULL: "."); the previous walk's
 * parameters are put back first.  Sets "arraydim" in tree 1 to the number of
 * elements walked.  Returns that number and fills `shape` (unless NULL), or
 * -1 after reporting through the error sink what is wrong, naming the
 * parameter: an increment count that is no whole number from 0 to 1000000,
 * a missing or non-positive spectral width, a quadrature value that is no
 * whole number from 1, several quadrature values for a dimension not walked,
 * a walked parameter listed in "array", a schedule that cannot be made,
 * read or written (with the path and the sampling module's reason), a
 * schedule row outside the grid (with the row and the element that would
 * run it), or more than 2147483647 elements.
 */
int psgparam_begin_walk(const char *expdir, psgparam_walk *shape);

/* The prepared walk's shape (as psgparam_begin_walk() filled it). */
void psgparam_walk_shape(psgparam_walk *shape);

/*
 * Sparse runs: walk the whole grid (`on` nonzero) instead of the schedule,
 * or the schedule again (0); used to learn what the full grid would take.
 * Returns the number of elements now walked, or -1 (too many; nothing
 * changes).  Uniform runs walk the grid either way.
 */
int psgparam_walk_full_grid(int on);

/*
 * Make element `element` (1-based) of the walk the current one: its array
 * element, its stepped delays and its quadrature values.  0, or -1 for an
 * element out of range or a value that could not be stored.
 */
int psgparam_select_walk_element(int element);

/*
 * Increment (from 0) of indirect dimension `dimension` (1 to 3) at element
 * `element`: 0 for a dimension not walked, -1 for an element or dimension
 * out of range.
 */
int psgparam_walk_increment(int element, int dimension);

/*
 * What element `element` is, as header lines for a trace, each ending in a
 * newline, only those that apply:
 *   "increment: 2 of ni 4 (d2 0.00025), 0 of ni2 8 (d3 0)" (increments from
 *   0; a sparse run adds "; schedule row 5 of 16"),
 *   "quadrature: phase 2" (dimensions with several components),
 *   "arrayed: pw 1e-05" (as psgparam_element_values()).
 * Written into `buf` of `size` bytes (terminated, cut when too long);
 * returns the length it needed, 0 for an element out of range.
 */
int psgparam_describe_walk_element(int element, char *buf, size_t size);

/* Path of a sparse run's schedule file, NULL for a uniform run. */
const char *psgparam_walk_schedule_path(void);

#ifdef __cplusplus
}
#endif

#endif
