/*
 * psgparam.h - parameter companion of the pulse-sequence generation library
 * (stand-in).
 *
 * Holds the experiment's parameters in the parameter store's trees (tree 1
 * "current", tree 0 "global") and answers the sequence's parameter reads.
 * It also chooses the values of one array element: the string parameter
 * "array" lists arrayed parameter names separated by commas; while element i
 * is selected, each listed parameter shows its value i (its last value when
 * it has fewer) as its only value, and every other parameter its first value
 * as always.
 *
 * Not thread-safe.  Compiles as C11 and C++.
 */
#ifndef PSENV_PSGPARAM_H
#define PSENV_PSGPARAM_H

#ifdef __cplusplus
extern "C" {
#endif

/* ---- the sequence's reads ------------------------------------------------ */

/*
 * First value of the real parameter `name`, from tree 1, or from tree 0 when
 * tree 1 lacks the name; 0.0 when there is none.
 */
double getval(const char *name);

/*
 * First value of the string parameter `name` (tree 1, then tree 0) into
 * `buf`, which must hold 256 bytes: at most 255 characters, terminated, the
 * rest of the 256 bytes zero.  0 on success; -1 with an empty text when
 * there is no such string parameter.
 */
int getstr(const char *name, char *buf);

/* ---- the library's side -------------------------------------------------- */

/*
 * Load the parameter file `path` into tree `tree` (0 or 1).  0 on success;
 * otherwise the store's code, already reported through the error sink as
 * "<path>: <the code's words>".
 */
int psgparam_load(int tree, const char *path);

/* 1 when a parameter `name` exists in tree 1 or tree 0, else 0. */
int psgparam_exists(const char *name);

/*
 * Prepare an experiment: remember the values of the parameters listed in
 * "array" and set the real parameter "arraydim" in tree 1 to the number of
 * elements (the longest listed parameter's value count; 1 when "array" is
 * empty or missing or lists no parameter that exists).  Returns that number,
 * or -1 when "arraydim" cannot be stored.
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

#ifdef __cplusplus
}
#endif

#endif
