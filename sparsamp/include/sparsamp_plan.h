/*
 * sparsamp_plan.h - planning sampling schedules beside the module's own
 * uniform generator: Poisson-gap and exponential generators, the schedule
 * file writer, the sampling mask, point-spread figures and the strict
 * reading of schedule files.
 *
 * Conventions
 *   - No state and no handle: every function works on what it is given and
 *     leaves the CS* record of sparsamp.h alone.
 *   - The caller owns every buffer it passes and says how many elements it
 *     holds; a function writes only inside it.  The one exception is the
 *     problem list of csplan_check_schedule(), which the library allocates
 *     and csplan_free_check_report() releases.
 *   - Results are CSPLAN_OK (0) or one of the negative codes below, which
 *     csplan_strerror() words.  Nothing is printed; nothing aborts.
 *   - A grid numbers its points as the sampling module does: the point with
 *     increments c_0 .. c_(d-1) has the linear index sum c_k * stride_k,
 *     stride_0 = 1 and stride_(k+1) = stride_k * ni[k] (dimension 0 varies
 *     fastest); index 0 is the origin.
 *   - Rows are stored row-major: rows[i * columns + k] is the increment of
 *     dimension k in row i.
 *   - The generators draw from the 64-bit Mersenne twister (mt19937_64)
 *     seeded with the 32-bit seed's unsigned pattern, through distributions
 *     of their own: a seed gives the same schedule on every platform.
 *   - Threads: csplan_psf() keeps the transform plan of the last grid and
 *     must be called from one thread at a time; every other function may
 *     run concurrently on distinct buffers.
 *
 * Compiles as C11 and as C++.
 */
#ifndef PSENV_SPARSAMP_PLAN_H
#define PSENV_SPARSAMP_PLAN_H

#include <stddef.h>
#include <stdint.h>

#include "psenv_extern.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes. */
#define CSPLAN_OK 0
#define CSPLAN_EINVAL -1        /* an argument is invalid (see each function) */
#define CSPLAN_ERANGE -2        /* a caller's buffer is too small */
#define CSPLAN_ENOMEM -3        /* memory ran out */
#define CSPLAN_ETOOBIG -4       /* the grid has more points than the function takes */
#define CSPLAN_NOT_AVAILABLE -5 /* built without FFTW3: no point-spread functions */
#define CSPLAN_EIO -6           /* a file cannot be read or written (errno value given) */
#define CSPLAN_ECOLUMNS -7      /* the schedule's columns differ from the grid's dimensions */
#define CSPLAN_EOUTSIDE -8      /* a schedule entry lies outside 0 .. ni-1 */
#define CSPLAN_EEMPTY -9        /* the mask samples no grid point */
#define CSPLAN_EFFT -10         /* the FFT library cannot plan the grid */

/* Most dimensions of a grid (the module's CS_MAX_DIMS). */
#define CSPLAN_MAX_DIMS 10
/* Most grid points the generators take (they hold a key per point). */
#define CSPLAN_MOST_GENERATOR_POINTS INT64_C(16777216)
/* Most grid points csplan_psf() transforms (about 20 bytes each). */
#define CSPLAN_MOST_PSF_POINTS INT64_C(16777216)

/* Weightings of csplan_poisson_gap(). */
#define CSPLAN_WEIGHT_SINE 0 /* short gaps near the origin, growing along a quarter sine */
#define CSPLAN_WEIGHT_NONE 1 /* one mean gap everywhere */

/* A sampling grid: `dimensions` (1 .. CSPLAN_MAX_DIMS) increment counts,
   each at least 1.  Entries of ni beyond `dimensions` are not read. */
typedef struct csplan_grid {
    int dimensions;
    int ni[CSPLAN_MAX_DIMS];
} csplan_grid;

/* The figures a schedule is judged by (csplan_psf()). */
typedef struct csplan_psf_figures {
    int64_t points;       /* sampled grid points (the mask's non-zero bytes) */
    int64_t grid;         /* grid points */
    double max_sidelobe;  /* max over k != 0 of |F(k)| / |F(0)| */
    int at[CSPLAN_MAX_DIMS];               /* a frequency (per dimension 0 .. ni-1) where it occurs */
    int64_t largest_gap[CSPLAN_MAX_DIMS];  /* csplan_largest_gaps() */
} csplan_psf_figures;

/* One finding of csplan_check_schedule(). */
typedef struct csplan_problem {
    long line;         /* 1-based line of the file */
    const char *text;  /* one sentence without a line end, owned by the report */
} csplan_problem;

/* What csplan_check_schedule() found.  `problems` (`count` entries, in file
   order) belongs to the library until csplan_free_check_report(). */
typedef struct csplan_check_report {
    csplan_problem *problems;
    size_t count;
    long rows;     /* rows as the module's reader takes them */
    int columns;   /* integers of the first row */
    int readable;  /* 1 when the module's reader takes the file (with `columns` columns) */
} csplan_check_report;

/*
 * Points of a grid.
 *
 * @param grid  the grid
 * @return the product of the increment counts; 0 for a NULL or invalid grid;
 *         INT64_MAX when the product does not fit 64 bits
 */
PSENV_EXTERN(int64_t) csplan_grid_points(const csplan_grid *grid);

/*
 * Poisson-gap sampling: the grid points are walked outwards from the origin
 * (in one dimension in increment order; in more, by normalised distance
 * sum (c_k / ni_k)^2, ties by linear index), and after each sampled point a
 * gap is drawn from a Poisson distribution whose mean follows the weighting.
 * The mean's scale is adjusted pass by pass until a pass gives exactly
 * `points`; after 200 passes the closest one is completed or thinned
 * deterministically.
 *
 * @param grid      the grid, of at most CSPLAN_MOST_GENERATOR_POINTS points
 * @param points    schedule points wanted, 1 .. the grid's points
 * @param weight    CSPLAN_WEIGHT_SINE or CSPLAN_WEIGHT_NONE
 * @param seed      seed of the generator (any 32-bit value)
 * @param indices   receives `points` distinct linear indices in increasing
 *                  order, the first being 0 (the origin)
 * @param capacity  entries `indices` holds
 * @return CSPLAN_OK; CSPLAN_EINVAL for a NULL pointer, an invalid grid,
 *         `points` out of range or an unknown weight; CSPLAN_ETOOBIG;
 *         CSPLAN_ERANGE when `capacity` < `points`; CSPLAN_ENOMEM.  On
 *         failure `indices` is not written.
 */
PSENV_EXTERN(int) csplan_poisson_gap(const csplan_grid *grid, int64_t points, int weight,
                                     int32_t seed, int64_t *indices, int64_t capacity);

/*
 * Random sampling without replacement in which a point's chance is weighted
 * by exp(-sum_k c_k / decay[k]): dense near the origin, like a decaying
 * signal.  The origin is always taken.
 *
 * @param grid      the grid, of at most CSPLAN_MOST_GENERATOR_POINTS points
 * @param points    schedule points wanted, 1 .. the grid's points
 * @param decay     grid->dimensions decay lengths in increments, each > 0
 * @param seed      seed of the generator (any 32-bit value)
 * @param indices   receives `points` distinct linear indices in increasing
 *                  order, the first being 0
 * @param capacity  entries `indices` holds
 * @return CSPLAN_OK; CSPLAN_EINVAL for a NULL pointer, an invalid grid,
 *         `points` out of range or a decay that is not above 0;
 *         CSPLAN_ETOOBIG; CSPLAN_ERANGE when `capacity` < `points`;
 *         CSPLAN_ENOMEM.  On failure `indices` is not written.
 */
PSENV_EXTERN(int) csplan_exponential(const csplan_grid *grid, int64_t points, const double *decay,
                                     int32_t seed, int64_t *indices, int64_t capacity);

/*
 * The rows of grid points given by their linear indices, in the order given.
 *
 * @param grid      the grid
 * @param indices   `count` linear indices, each 0 .. points-1 (NULL when
 *                  `count` is 0)
 * @param count     number of indices, >= 0
 * @param rows      receives count * grid->dimensions increments, row-major
 * @param capacity  entries `rows` holds
 * @return CSPLAN_OK; CSPLAN_EINVAL for a NULL pointer, an invalid grid, a
 *         negative count or an index outside the grid (then `rows` may be
 *         partly written); CSPLAN_ERANGE when `capacity` is too small
 */
PSENV_EXTERN(int) csplan_rows(const csplan_grid *grid, const int64_t *indices, int64_t count,
                              int *rows, int64_t capacity);

/*
 * Write rows as a schedule file, the format the module reads and its
 * CSwriteSched() writes: every entry as "%-4d " (the number left-aligned in
 * four characters, then a blank), a line end after each row, nothing else.
 * The rows go to a new file beside `path`, created exclusively, flushed and
 * synced, with the owner, group and permission bits of the file it replaces
 * (a new file gets 0666 less the umask), then renamed over `path`; on any
 * failure the new file is removed and `path` is as it was.  A symbolic link
 * is followed (the link stays); an existing target that is no regular file
 * (a FIFO, a device) is written in place, never replaced, and a FIFO that
 * nobody reads is a failure, not a wait.
 *
 * @param path       the schedule file
 * @param rows       count * columns entries, row-major (NULL when `count` is 0)
 * @param count      rows, >= 0
 * @param columns    entries per row, 1 .. CSPLAN_MAX_DIMS
 * @param error_out  optional: receives the errno value of a CSPLAN_EIO
 *                   failure, else 0
 * @return CSPLAN_OK; CSPLAN_EINVAL for a NULL or empty path, NULL rows with
 *         a count, a negative count or columns out of range; CSPLAN_EIO
 *         (strerror(*error_out) words the reason); CSPLAN_ENOMEM
 */
PSENV_EXTERN(int) csplan_write_schedule(const char *path, const int *rows, int64_t count,
                                        int columns, int *error_out);

/*
 * The sampling mask of a schedule: one byte per grid point in linear index
 * order, 1 where a row samples the point, else 0.  Rows that repeat a point
 * mark it once.
 *
 * @param grid         the grid
 * @param rows         count * columns entries, row-major (NULL when `count` is 0)
 * @param count        rows, >= 0
 * @param columns      entries per row; must equal grid->dimensions
 * @param mask         receives the grid's points bytes
 * @param mask_size    bytes `mask` holds
 * @param detail       optional: receives "" on success, else why it failed
 *                     (for CSPLAN_ECOLUMNS and CSPLAN_EOUTSIDE one sentence
 *                     naming the counts, or the row, entry and dimension;
 *                     else csplan_strerror()), cut to fit and terminated
 * @param detail_size  bytes `detail` holds (0 with NULL)
 * @return CSPLAN_OK; CSPLAN_EINVAL for a NULL pointer, an invalid grid, or
 *         a negative count or column count; CSPLAN_ERANGE when `mask_size` is below the
 *         grid's points; CSPLAN_ECOLUMNS; CSPLAN_EOUTSIDE (then `mask` may
 *         be partly written)
 */
PSENV_EXTERN(int) csplan_mask(const csplan_grid *grid, const int *rows, int64_t count,
                              int columns, unsigned char *mask, int64_t mask_size, char *detail,
                              size_t detail_size);

/*
 * Largest gap per dimension: the most consecutive unsampled increments on
 * any grid line along the dimension, leading and trailing runs included.
 *
 * @param grid       the grid
 * @param mask       the mask (csplan_mask()), non-zero bytes sampled
 * @param mask_size  bytes of `mask`; must equal the grid's points
 * @param gaps       receives grid->dimensions counts
 * @param capacity   entries `gaps` holds
 * @return CSPLAN_OK; CSPLAN_EINVAL for a NULL pointer, an invalid grid or a
 *         mask of another size; CSPLAN_ERANGE when `capacity` is below the
 *         dimensions; CSPLAN_ENOMEM
 */
PSENV_EXTERN(int) csplan_largest_gaps(const csplan_grid *grid, const unsigned char *mask,
                                      int64_t mask_size, int64_t *gaps, int capacity);

/*
 * @return 1 when this build computes point-spread functions (it was built
 *         with FFTW3), else 0 (csplan_psf() then returns CSPLAN_NOT_AVAILABLE)
 */
PSENV_EXTERN(int) csplan_psf_available(void);

/*
 * The point-spread function of a mask: the discrete Fourier transform F of
 * the 0/1 mask over the grid (exactly ni points per dimension, no padding)
 * and its figures.
 *
 * @param grid            the grid, of at most CSPLAN_MOST_PSF_POINTS points
 * @param mask            the mask (csplan_mask()), non-zero bytes sampled
 * @param mask_size       bytes of `mask`; must equal the grid's points
 * @param figures         receives the figures (largest gaps included)
 * @param magnitude       optional: receives |F(k)| / |F(0)| for every
 *                        frequency k in linear index order
 * @param magnitude_size  entries `magnitude` holds (0 with NULL)
 * @param detail          optional: receives "" on success, else the reason
 *                        of the failure, cut to fit and terminated
 * @param detail_size     bytes `detail` holds (0 with NULL)
 * @return CSPLAN_OK; CSPLAN_NOT_AVAILABLE (tested before anything else);
 *         CSPLAN_EINVAL for a NULL pointer, an invalid grid or a mask of
 *         another size; CSPLAN_ETOOBIG; CSPLAN_ERANGE when `magnitude_size`
 *         is below the grid's points; CSPLAN_EEMPTY; CSPLAN_ENOMEM;
 *         CSPLAN_EFFT.  On failure `figures` is not written.
 */
PSENV_EXTERN(int) csplan_psf(const csplan_grid *grid, const unsigned char *mask,
                             int64_t mask_size, csplan_psf_figures *figures, float *magnitude,
                             int64_t magnitude_size, char *detail, size_t detail_size);

/*
 * @param max_sidelobe  a max sidelobe (csplan_psf_figures)
 * @return the peak-to-sidelobe ratio in dB, -20 log10(max_sidelobe); +inf
 *         for 0 or less
 */
PSENV_EXTERN(double) csplan_peak_to_sidelobe_db(double max_sidelobe);

/*
 * Read a schedule file strictly: every row that the module's lenient reader
 * takes only by guessing (blank lines repeat the previous row, short rows
 * keep the previous row's entries, text that is no integer is ignored with
 * the rest of the line, long lines are split), rows that repeat an earlier
 * one, and, with the grid given, entries outside it and a column count
 * unlike its dimensions.  Rows and columns are counted as the reader counts
 * them.  The file is opened and read once (a FIFO works).
 *
 * @param path        the schedule file
 * @param ni          increments per dimension, or NULL when the grid is unknown
 * @param dimensions  entries of `ni` (0 .. CSPLAN_MAX_DIMS; 0 with NULL)
 * @param report      receives the findings; on success the caller releases
 *                    it with csplan_free_check_report()
 * @param error_out   optional: receives the errno value of a CSPLAN_EIO
 *                    failure (EISDIR for a directory), else 0
 * @return CSPLAN_OK, whether problems were found or not (report->count);
 *         CSPLAN_EINVAL for a NULL path or report, or an ni list that does
 *         not fit `dimensions` or holds a count below 1; CSPLAN_EIO when the
 *         file cannot be opened; CSPLAN_ENOMEM.  On failure `report` is
 *         zeroed and holds nothing to release.
 */
PSENV_EXTERN(int) csplan_check_schedule(const char *path, const int *ni, int dimensions,
                                        csplan_check_report *report, int *error_out);

/*
 * Release the problem list of a report and zero it.  NULL, a zeroed report
 * and a report released before are ignored.
 *
 * @param report  a report filled by csplan_check_schedule()
 */
PSENV_EXTERN(void) csplan_free_check_report(csplan_check_report *report);

/*
 * @param code  a result code of this header
 * @return a short text for it, owned by the library ("unknown result code"
 *         for any other value).  The text of CSPLAN_NOT_AVAILABLE says how to
 *         build with FFTW3.
 */
PSENV_EXTERN(const char *) csplan_strerror(int code);

#ifdef __cplusplus
}
#endif

#endif
