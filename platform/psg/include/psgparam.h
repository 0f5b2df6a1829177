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

#ifdef __cplusplus
}
#endif

#endif
