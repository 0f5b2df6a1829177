/*
 * synthcalc.h - lock frequency and lock synthesizer word.
 *
 * Converts between the frequency of the lock channel and the word that
 * programs the lock synthesizer, for the two supported console types named
 * by the string parameter "Console":
 *
 *   "ardel"    the word programs a synthesizer with a step of 40 MHz / 2^24;
 *              its output is combined with a fixed intermediate frequency
 *              (synthif) and a reference frequency (lockref) taken from the
 *              lock-frequency table;
 *   "quilmar"  the word is a 32-bit synthesizer word computed from the lock
 *              frequency alone.
 *
 * Units: frequencies are in MHz.  The key F is the spectrometer's nominal
 * frequency in MHz (200, 300, 400, ...).
 *
 * Lock-frequency table: the file systemdir + LOCKFREQTAB_SUFFIX (hostenv.h),
 * read afresh by every call that needs it.  One row per line:
 *
 *     key  synthif  sense  lockref        e.g.  400  10.0  +  50.0
 *
 * where sense is "+" (synthif is added) or "-" (subtracted); a row with any
 * other sense is passed over.  A line starting with "#" and an empty line are
 * passed over.  Every other line must scan into the four fields, else the
 * table is in error: abort_message() (hostenv.h) is called with
 * "PSG: Error in lockfreqtab file.".  See lockfreqtab_read for the line rules.
 *
 * "Console" is read as its first value from tree 4 and, failing that, from
 * tree 0 (treekeep.h).  It is compared as a whole and case-sensitively.
 *
 * Debug output: while bgflag (hostenv.h) is nonzero the conversions write the
 * table row and their intermediate value to standard error.
 *
 * State: none; every call reads "Console" and the table anew.  Not
 * thread-safe (bgflag, systemdir and the trees are read unsynchronised).
 * Results are computed in extended precision (long double) and rounded to
 * double or int32 only where they are stored as such.
 *
 * Compiles as C11 and as C++.
 */
#ifndef PSENV_SYNTHCALC_H
#define PSENV_SYNTHCALC_H

#include "psenv_extern.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Appended to systemdir, without a separator, to name the table. */
#define LOCKFREQTAB_SUFFIX "/nuctables/lockfreqtab"

/* Size of the buffer the table path is assembled in, terminator included. */
#define LOCKFREQTAB_PATH_SIZE 256

/* Longest systemdir for which the table can be opened (255 - 22). */
#define LOCKFREQTAB_SYSTEMDIR_MAX 233

/* Characters of a table line that are examined; the rest is dropped. */
#define LOCKFREQTAB_LINE_MAX 255

/*
 * Find the row for `key` in the lock-frequency table at `path`.
 *
 * Line rules: a line is read up to and including its newline; at most
 * LOCKFREQTAB_LINE_MAX characters of it are kept.  A kept line ending in a
 * carriage return and newline loses both.  A line whose first character is
 * "#" is a comment, a line that is empty (only its newline, or only a
 * carriage return and newline) is passed over; every other line is scanned
 * as "%d %lf %1s %lf".  A last line without a newline is never examined.
 * The first row whose key equals `key` and whose sense is "+" or "-" is the
 * answer; later lines are not read.  A key outside the int32 range scans but
 * matches no `key`.
 *
 * @param path     path of the table; NULL finds nothing.
 * @param key      nominal frequency F in MHz.
 * @param synthif  receives the row's intermediate frequency; written only
 *                 when a row was found.  May be NULL.
 * @param lksense  buffer of at least 2 bytes; receives the sense field and a
 *                 terminating zero of every row scanned up to its sense, so
 *                 after a failed search it holds the last such row's sense.
 *                 May be NULL.
 * @param lockref  receives the row's reference frequency; written only when
 *                 a row was found.  May be NULL.
 * @return         0 when a row was found; -1 when the file cannot be opened,
 *                 no row matches, or a line does not scan into four fields
 *                 (the table error: the file is closed and abort_message()
 *                 is called first; -1 should that return).
 */
PSENV_EXTERN(int) lockfreqtab_read(const char *path, int key, double *synthif,
                                   char *lksense, double *lockref);

/* What abort_message() receives when a table line does not scan. */
#define LOCKFREQTAB_TABLE_ERROR "PSG: Error in lockfreqtab file."

/* Answers of lockfreqtab_find. */
#define LOCKFREQTAB_ROW_FOUND 0
#define LOCKFREQTAB_NO_TABLE 1 /* cannot be opened or read; see `error` */
#define LOCKFREQTAB_NO_ROW 2   /* read to its end without a row for the key */
#define LOCKFREQTAB_DAMAGED 3  /* a line before the row does not scan */

/*
 * Look up the row for key F in the table under systemdir (systemdir +
 * LOCKFREQTAB_SUFFIX) by the rules of lockfreqtab_read, but without calling
 * abort_message(): a caller can tell a missing table, a missing row and a
 * damaged table apart before it asks for a word or a frequency.
 *
 * @param key    nominal frequency F in MHz.
 * @param error  receives the errno value when the answer is
 *               LOCKFREQTAB_NO_TABLE (ENAMETOOLONG for a systemdir longer
 *               than LOCKFREQTAB_SYSTEMDIR_MAX, EISDIR for a directory), else
 *               0.  May be NULL.
 * @return       LOCKFREQTAB_ROW_FOUND, LOCKFREQTAB_NO_TABLE,
 *               LOCKFREQTAB_NO_ROW or LOCKFREQTAB_DAMAGED.
 */
PSENV_EXTERN(int) lockfreqtab_find(int key, int *error);

/*
 * The lock offset |(L + synthif) - lockref| for sense "+", |(L - synthif) -
 * lockref| for "-", from the row for key F of the table under systemdir,
 * rounded to double before the sign is dropped: the value getlkfreqDDsi
 * hands to the synthesizer as two halves.  The console type is not
 * consulted.
 *
 * @return  the offset in MHz; -1.0 when systemdir is too long or the table
 *          has no row (or is in error).  Writes its debug line while bgflag
 *          is set.
 */
PSENV_EXTERN(double) getlkfreqoffset(int key, double lockfreq);

/*
 * Lock frequency L of the "ardel" synthesizer word `word` for key F (the
 * inverse of getlkfreqapword on that console).
 *
 * @return  L in MHz; -1.0 when "Console" is set in neither tree or its buffer
 *          cannot be allocated; 0.0 on a console other than "ardel", when
 *          systemdir is longer than LOCKFREQTAB_SYSTEMDIR_MAX, or when the
 *          table has no row for F (or is in error).
 */
PSENV_EXTERN(double) apvalue2lkfreq(int word, int key);

/*
 * The lock offset |(L +/- synthif) - lockref| of the table row for F, as the
 * two 32-bit halves of its IEEE 754 double: words[0] the upper, words[1]
 * the lower half.  The console type is not consulted.  A failed table lookup
 * stores the bits of -1.0 (0xBFF00000, 0).  A NULL `words` stores nothing.
 */
PSENV_EXTERN(void) getlkfreqDDsi(double lockfreq, int key, int words[2]);

/*
 * The synthesizer word for lock frequency `lockfreq` (L) and key F.
 *
 * "ardel":   trunc(offset * 2^24 + 0.5) / 40 with the offset of
 *            getlkfreqDDsi; a failed table lookup gives -419430 (the word
 *            of the offset -1.0).  An offset * 2^24 + 0.5 beyond the int32
 *            range is clamped to it before the division.
 * "quilmar": trunc((L - 20 * n / m) * 1000000 * 107.3741824) with (n, m)
 *            (23, 13) for F 300, (33, 13) for F 400, else (1, 1); the table
 *            is not read.  A word beyond the int32 range is clamped to
 *            INT32_MIN or INT32_MAX.
 *
 * @return  the word; -1 when "Console" is missing or its buffer cannot be
 *          allocated, on any other console, and when L is not a number.
 */
PSENV_EXTERN(int) getlkfreqapword(double lockfreq, int key);

/*
 * Whether getlkfreqapword(lockfreq, key) gives the true word rather than one
 * clamped to the int32 range, so that a caller can tell a word from the
 * range's end.  The console and, for "ardel", the table are consulted as
 * getlkfreqapword consults them.
 *
 * @return  1 the word lies in the int32 range; 0 it would be clamped; -1
 *          when getlkfreqapword gives no word at all ("Console" missing, any
 *          other console, L not a number, no table row for F).
 */
PSENV_EXTERN(int) getlkfreqapword_fits(double lockfreq, int key);

/*
 * Split `value` into two 16-bit halves: halves[0] gets bits 16 to 31,
 * halves[1] bits 0 to 15, each as a signed 16-bit number.  A NULL `halves`
 * stores nothing.
 */
PSENV_EXTERN(void) oneLongToTwoShort(int value, short halves[2]);

#ifdef __cplusplus
}
#endif

#endif
