/*
 * sparsamp_plan_options.h - the planner's make options by name: the one
 * table behind every face that fills a csplan_options from text (the
 * command line's `psenv sched make`, the Python module), and the wording
 * of the strict reading's findings as warnings.
 *
 * Conventions are those of sparsamp_plan.h: no state, caller-owned
 * buffers, CSPLAN_* result codes, nothing printed.  Options are named as
 * the command line writes them without the leading "--" ("sine-portion");
 * a detail names them with it ("--walk must be threads, radial or line"),
 * and a face with other spellings rewrites those words.
 *
 * Compiles as C11 and as C++.
 */
#ifndef PSENV_SPARSAMP_PLAN_OPTIONS_H
#define PSENV_SPARSAMP_PLAN_OPTIONS_H

#include <stddef.h>

#include "psenv_extern.h"
#include "sparsamp_plan.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Which methods take an option (csplan_option_entry.methods, bits). */
#define CSPLAN_TAKEN_BY_POISSON_GAP 1
#define CSPLAN_TAKEN_BY_EXPONENTIAL 2

/* One make option of the planner. */
typedef struct csplan_option_entry {
    const char *name; /* "sine-portion": the command line's word without "--" */
    int methods;      /* CSPLAN_TAKEN_BY_* bits */
    int flag;         /* 1: given or not, no value ("last", "allow-periodic") */
} csplan_option_entry;

/*
 * @return the number of entries of the table (csplan_option_at())
 */
PSENV_EXTERN(size_t) csplan_option_count(void);

/*
 * @param index  0 .. csplan_option_count() - 1 (the order of the command
 *               line's help)
 * @return the entry, owned by the library and never changed; NULL past
 *         the end
 */
PSENV_EXTERN(const csplan_option_entry *) csplan_option_at(size_t index);

/*
 * The csplan_options method of a method's name.
 *
 * @param name    "poisson-gap" or "exponential"
 * @param method  receives CSPLAN_METHOD_POISSON_GAP or _EXPONENTIAL
 * @return CSPLAN_OK; CSPLAN_EINVAL for a NULL pointer or any other name
 *         (`method` is then not written)
 */
PSENV_EXTERN(int) csplan_method_named(const char *name, int *method);

/*
 * Read one option's text strictly into `options`:
 *   points          a whole number from 1 to the grid's points
 *   decay           exponential: one positive decimal, or one per
 *                   dimension, separated by commas, without signs or blanks
 *   weight          poisson-gap: "sine" (the quarter sine) or "none"
 *   sine-portion    poisson-gap: "quarter", "half" or "none"
 *   walk            poisson-gap: "threads", "radial" or "line"
 *   order           "grid" or "shuffled"
 *   head, exclude   a whole number from 0 to INT_MAX
 *   best-of         a whole number from 1 to CSPLAN_MOST_BEST_OF
 *   last, allow-periodic  flags: sets them to 1
 * Whole numbers take an optional sign and decimal digits only.  Nothing is
 * checked against the other options (csplan_options_set_all() does that).
 *
 * @param options      the options to fill (csplan_options_init() first);
 *                     also receives the method
 * @param grid         the grid the schedule is made on
 * @param method       "poisson-gap" or "exponential"
 * @param name         the option (an entry of the table)
 * @param value        its text; NULL or "" for a flag (NULL for another
 *                     option reads as "")
 * @param detail       optional: receives "" on success, else the one
 *                     sentence the command line says, cut to fit
 * @param detail_size  bytes `detail` holds (0 with NULL)
 * @return CSPLAN_OK; CSPLAN_EINVAL for a NULL options, grid, method or
 *         name, an invalid grid, an unknown method or option, an option
 *         the method does not take ("--decay belongs to --method
 *         exponential") or a text it refuses.  On failure `options` is
 *         not written.
 */
PSENV_EXTERN(int) csplan_options_set(csplan_options *options, const csplan_grid *grid,
                                     const char *method, const char *name, const char *value,
                                     char *detail, size_t detail_size);

/*
 * Read the options given for a method, as `psenv sched make` does: the
 * method set, the method's own options defaulted and read (poisson-gap:
 * --weight or --sine-portion, not both, then --walk; exponential: --decay,
 * which it needs), options of the other method refused, then the options
 * both take; the first refusal ends the reading.
 *
 * @param options      the options to fill (csplan_options_init() first)
 * @param grid         the grid the schedule is made on
 * @param method       "poisson-gap" or "exponential"
 * @param names        `count` option names, each at most once
 * @param values       `count` texts (NULL entries for flags), or NULL
 *                     when `count` is 0
 * @param count        options given
 * @param detail       as csplan_options_set()
 * @param detail_size  bytes `detail` holds (0 with NULL)
 * @return CSPLAN_OK; CSPLAN_EINVAL as csplan_options_set(), and for NULL
 *         names with a count, a name given twice, or the conflicts and
 *         missing options above.  On failure `options` may be partly
 *         written.
 */
PSENV_EXTERN(int) csplan_options_set_all(csplan_options *options, const csplan_grid *grid,
                                         const char *method, const char *const *names,
                                         const char *const *values, size_t count, char *detail,
                                         size_t detail_size);

/* Findings of csplan_check_schedule() a reader lists as warnings before
   it counts the rest. */
#define CSPLAN_MOST_WARNINGS 20

/*
 * The warnings a reader of a schedule file gives for the strict reading's
 * findings: "PATH:LINE: text" for each of the first CSPLAN_MOST_WARNINGS,
 * then "PATH: N more problems ('psenv sched check' lists them)" when there
 * are more.
 *
 * @param path         the file as the reader names it
 * @param report       a report of csplan_check_schedule()
 * @param index        0 .. csplan_warning_count(report) - 1
 * @param text         receives the warning without a line end, cut to fit
 * @param text_size    bytes `text` holds, at least 1
 * @return CSPLAN_OK; CSPLAN_EINVAL for a NULL pointer, a size of 0 or an
 *         index out of range
 */
PSENV_EXTERN(int) csplan_warning_text(const char *path, const csplan_check_report *report,
                                      size_t index, char *text, size_t text_size);

/*
 * @param report  a report of csplan_check_schedule(); NULL counts 0
 * @return how many warnings csplan_warning_text() words for it
 */
PSENV_EXTERN(size_t) csplan_warning_count(const csplan_check_report *report);

#ifdef __cplusplus
}
#endif

#endif
