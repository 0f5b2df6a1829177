/*
 * sparsamp.h - sparse (non-uniform) sampling of up to ten indirect dimensions.
 *
 * The module derives a sampling configuration from the experiment parameters
 * of tree 1 ("current"), makes a seeded random schedule or reads one from a
 * schedule file, writes it, and serves its entries.
 *
 * Conventions
 *   - All state lives in one process-wide record; there is no handle.  The
 *     expected order is CSinit(), CSgetSched(), then the accessors.
 *   - Schedule memory comes from the environment's allocator under the tag
 *     CS_ALLOC_TAG and stays valid until the next CSinit() that passes its
 *     "sampling" check.  Callers never free it.
 *   - The module writes no messages; CSprint() and CSprintSched() are the only
 *     output, on the standard error stream.  A failed schedule write is kept
 *     for CSwriteStatus().
 *   - Not thread-safe; the generator random() is the process-wide one.
 *
 * Schedule file ("sampling.sch" unless renamed through getCSname()):
 *   one line per row, each entry printed as "%-4d " (dimension 0 first).
 *   Reading: pieces of up to 255 characters count as lines; a piece starting
 *   with '#' is a comment; every other piece is a row of up to ten integers,
 *   entries it lacks repeat the previous row's (a blank line repeats the
 *   previous row).  The first row must hold exactly as many integers as there
 *   are sparse dimensions.
 *
 * Compiles as C11 and as C++.
 */
#ifndef PSENV_SPARSAMP_H
#define PSENV_SPARSAMP_H

#include <stddef.h>

#include "psenv_extern.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Most sparse dimensions ("ni" .. "ni10"). */
#define CS_MAX_DIMS 10
/* Size of a delay name buffer ("d2" .. "d11"), terminator included. */
#define CS_PAR_SIZE 32
/* Size of the schedule file name buffer, terminator included. */
#define CS_NAME_SIZE 256
/* Allocator tag of every schedule block. */
#define CS_ALLOC_TAG "1_CS"
/* Default schedule file name, set by every CSinit(). */
#define CS_DEFAULT_NAME "sampling.sch"

/* Schedule types. */
#define CS_TYPE_GENERATED 1 /* made by CSmakeSched() (any "CStype" but "i"/"d") */
#define CS_TYPE_FILE_I 2    /* read from the file, "CStype" "i" */
#define CS_TYPE_FILE_D 3    /* read from the file, "CStype" "d" */

/* Result codes of CSreadSched() (and kept by CSinit() for CSgetSched()). */
#define CS_READ_OK 0
#define CS_READ_NOFILE -1   /* the file cannot be opened (or its path is too long) */
#define CS_READ_NODATA -2   /* no first row, or its first row holds no integer */
#define CS_READ_COLUMNS -3  /* the first row's integer count differs from the dimensions */

/*
 * Build the configuration from the parameters of tree 1.
 *
 * Reads "sampling" (only when `flag` is non-zero; it must be exactly
 * "sparse"), "CStype", "ni" .. "ni10" and "CSdensity" .. "CSdensity10" (both
 * must be active; a candidate with ni <= 1 or a density outside (0, 100] is
 * skipped), and "CSseed" (rounded half away from zero; negative selects
 * drawing order; default 169).  Releases every block of earlier schedules.
 * For the file types with a non-NULL `directory` the schedule file is read
 * at once.
 *
 * @param flag       non-zero to require "sampling" = "sparse"
 * @param directory  directory of the schedule file, or NULL to read nothing now
 * @return 0; -1 when the "sampling" check fails, when the schedule read fails
 *         (its code is kept for CSgetSched()), or when the grid would hold
 *         2^31 points or more (then no sparse dimension is left)
 */
PSENV_EXTERN(int) CSinit(int flag, const char *directory);

/*
 * Obtain the schedule.  Generated type: make it (CSmakeSched()), write it
 * (CSwriteSched()) and return 0 whatever the write did (CSwriteStatus()
 * tells).  File types: the result of CSreadSched(directory).
 *
 * @param directory  directory of the schedule file
 * @return 0, or CS_READ_NOFILE, CS_READ_NODATA, CS_READ_COLUMNS
 */
PSENV_EXTERN(int) CSgetSched(const char *directory);

/* @return the number of sparse dimensions, 0..10 */
PSENV_EXTERN(int) getCSdimension(void);

/* @return the number of schedule points (rows) */
PSENV_EXTERN(int) getCSnum(void);

/*
 * @param k  sparse dimension, 0 .. getCSdimension()-1
 * @return   its delay name ("d2" .. "d11"), owned by the module; an empty
 *           text for any other k
 */
PSENV_EXTERN(const char *) getCSpar(int k);

/*
 * @param name  a delay name; NULL finds nothing
 * @return      the first sparse dimension whose delay name equals `name`
 *              byte for byte, else -1
 */
PSENV_EXTERN(int) getCSparIndex(const char *name);

/*
 * @return the module's schedule file name buffer (CS_NAME_SIZE bytes).  A
 *         caller may write a new name into it (a NUL-terminated text that
 *         fits); one beginning with '/' is a whole path and the directory
 *         arguments are then ignored.  CSinit() resets it.
 */
PSENV_EXTERN(char *) getCSname(void);

/* @return 0 when the schedule type is CS_TYPE_FILE_D ("d"), else 1 */
PSENV_EXTERN(int) CStypeIndexed(void);

/*
 * @param k  sparse dimension, 0 .. getCSdimension()-1
 * @param i  row, 0 .. getCSnum()-1
 * @return   the increment index of dimension k in row i; 0.0 when k or i is
 *           out of range or no schedule is held
 */
PSENV_EXTERN(double) getCSval(int k, int i);

/*
 * Write the configuration to the standard error stream: the title, then
 * "CS name:", "CS seed:", "CS rand:", "CS total:", "CS num:", "CS xdim:"
 * lines and one "CS[k] par:.. dim:.. density:.. sdim:.. " line per dimension.
 *
 * @param title  first line; NULL prints an empty line
 */
PSENV_EXTERN(void) CSprint(const char *title);

/*
 * Make a schedule from the configuration: srandom(seed), the origin first,
 * then distinct random grid points until getCSnum() points are taken, listed
 * in grid order (dimension 0 fastest) or in drawing order.  Every call gets
 * fresh blocks and reseeds.  Makes nothing when there is no sparse dimension,
 * when the configured point count exceeds the grid (possible after a file
 * replaced it), or when memory runs out.
 */
PSENV_EXTERN(void) CSmakeSched(void);

/*
 * Read the schedule file ("%s/%s" of `directory` and the name, or the name
 * alone when it begins with '/').  When CSinit() already read it, returns 0
 * without opening the file; when that read failed, returns its code again.
 *
 * @param directory  directory of the schedule file
 * @return 0 (the schedule and its row count replace the held ones), or
 *         CS_READ_NOFILE (also for a path over 255 characters, a NULL
 *         directory with a relative name, or memory running out),
 *         CS_READ_NODATA, CS_READ_COLUMNS; nothing changes on failure
 */
PSENV_EXTERN(int) CSreadSched(const char *directory);

/*
 * Read a schedule file whose column count is not known, as the tools read
 * one: CSinit() with a file-type configuration of 1, 2, ... dimensions in
 * the current tree (removed again after), then CSreadSched(), until the
 * first row fits.  A path of 255 characters or more (with "./" for a
 * relative one) and a file that cannot be opened or is a directory are
 * refused before the reader runs, which would take a directory for a file
 * without rows.  Replaces every parameter of the current tree.
 *
 * @param path         the schedule file
 * @param columns      receives the column count (getCSnum() and getCSval()
 *                     then give the rows)
 * @param error_out    optional: receives the errno value when the file
 *                     cannot be opened, else 0
 * @param detail       optional: receives "" on success, else one sentence
 *                     naming the file and why ("schedule file 'P' has no
 *                     data row"), cut to fit
 * @param detail_size  bytes `detail` holds (0 with NULL)
 * @return 0, or CS_READ_NOFILE (also for a NULL path or `columns`, a path
 *         too long), CS_READ_NODATA, CS_READ_COLUMNS (more than CS_MAX_DIMS)
 */
PSENV_EXTERN(int) CSreadSchedFile(const char *path, int *columns, int *error_out, char *detail,
                                  size_t detail_size);

/*
 * Write the held schedule to the schedule file.  The rows go to a new file
 * beside it, created exclusively (its name is the target's followed by
 * ".tmp" and the process id), flushed and synced, with the owner, group and
 * permission bits of the file it replaces, and renamed over the target only
 * when every row was written; on any failure the new file is removed and
 * the old schedule stays as it was.  A symbolic link is followed (the link
 * stays); a target that exists but is no regular file (a device, a FIFO) is
 * written in place, never replaced.  Nothing is printed: the outcome is kept
 * for CSwriteStatus().
 *
 * @param directory  directory of the schedule file
 */
PSENV_EXTERN(void) CSwriteSched(const char *directory);

/*
 * Outcome of the last CSwriteSched() (also the one inside CSgetSched()).
 *
 * @return 0 when the whole schedule reached the file (and before any write),
 *         else the errno value of the first failure (strerror() words it):
 *         ENAMETOOLONG for a path over 255 characters, EINVAL for a relative
 *         name with a NULL directory
 */
PSENV_EXTERN(int) CSwriteStatus(void);

/*
 * List the schedule on the standard error stream: per row "CS_%-4d" with the
 * row number, " %-4d" per column, and a line end.
 */
PSENV_EXTERN(void) CSprintSched(void);

/* A copy of the configuration, for tools and diagnostics. */
typedef struct CSinfo {
    int xdim;                         /* sparse dimensions */
    int dim[CS_MAX_DIMS];             /* full increments per dimension */
    int sdim[CS_MAX_DIMS];            /* sampled increments per dimension */
    double density[CS_MAX_DIMS];      /* sampled fraction, (0, 1] */
    char par[CS_MAX_DIMS][CS_PAR_SIZE];/* delay names */
    int seed;                         /* generator seed */
    int rand;                         /* 1 = drawing order, 0 = grid order */
    int type;                         /* CS_TYPE_* */
    int num;                          /* schedule rows */
    int total;                        /* grid points */
    int readStatus;                   /* 0 none read by CSinit, 1 read, < 0 its code */
    char name[CS_NAME_SIZE];          /* schedule file name */
} CSinfo;

/*
 * Copy the configuration into `info` (entries of dimensions beyond xdim are
 * zeroed).  NULL is ignored.
 */
PSENV_EXTERN(void) CSgetInfo(CSinfo *info);

#ifdef __cplusplus
}
#endif

#endif
