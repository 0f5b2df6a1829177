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

/* Methods of csplan_make(). */
#define CSPLAN_METHOD_POISSON_GAP 0
#define CSPLAN_METHOD_EXPONENTIAL 1

/* How much of a sine the Poisson-gap mean gap follows (csplan_options). */
#define CSPLAN_SINE_QUARTER 0 /* short gaps at the origin, longest at the far end */
#define CSPLAN_SINE_HALF 1    /* short gaps at both ends, longest half-way */
#define CSPLAN_SINE_NONE 2    /* one mean gap everywhere */

/* Walks of the Poisson-gap method (csplan_options.walk, csplan_made.walk). */
#define CSPLAN_WALK_DEFAULT 0 /* threads when two or more dimensions have more than
                                 one increment, else the line */
#define CSPLAN_WALK_THREADS 1 /* the published multidimensional scheme: lines along
                                 one dimension at a time, started along the diagonal */
#define CSPLAN_WALK_RADIAL 2  /* csplan_poisson_gap()'s walk by normalised distance */
#define CSPLAN_WALK_LINE 3    /* increment order; grids with at most one dimension
                                 of more than one increment */

/* Orders of the indices csplan_make() gives. */
#define CSPLAN_ORDER_GRID 0     /* increasing linear index */
#define CSPLAN_ORDER_SHUFFLED 1 /* the origin first, the others shuffled by the seed */

/* The main lobe's half-width W of the far sidelobe unless told otherwise. */
#define CSPLAN_DEFAULT_EXCLUDE 2
/* Most candidates csplan_make() compares (csplan_options.best_of). */
#define CSPLAN_MOST_BEST_OF 1000

/*
 * Everything csplan_make() is asked for: the one table of options that the
 * command line (psenv sched make) and other callers fill alike.  Start from
 * csplan_options_init(), then set what differs.
 */
typedef struct csplan_options {
    int method;       /* CSPLAN_METHOD_POISSON_GAP (default) or CSPLAN_METHOD_EXPONENTIAL */
    int64_t points;   /* schedule points K, 1 .. the grid's points (no default: 0) */
    int32_t seed;     /* seed of the generator (default 169, as "CSseed") */
    int sine_portion; /* Poisson-gap: CSPLAN_SINE_QUARTER (default), _HALF or _NONE */
    int walk;         /* Poisson-gap: CSPLAN_WALK_DEFAULT (default), _THREADS, _RADIAL, _LINE */
    double decay[CSPLAN_MAX_DIMS]; /* exponential: decay per dimension in
                                      increments, each > 0 (no default: 0) */
    int order;        /* CSPLAN_ORDER_GRID (default) or CSPLAN_ORDER_SHUFFLED */
    int head;         /* >= 2: every point whose increments all lie below
                         `head` is sampled (the first `head` increments of each
                         dimension); 0 or 1 (default): the origin only */
    int last;         /* 1: the grid's last point (every increment at ni - 1)
                         is sampled; 0 (default): not forced */
    int best_of;      /* 1 (default) .. CSPLAN_MOST_BEST_OF: make schedules with
                         the seeds seed, seed + 1, ... and keep the one with the
                         lowest far sidelobe (the first of equals); above 1
                         needs csplan_psf_available() */
    int exclude;      /* main lobe half-width W of that far sidelobe, >= 0
                         (default CSPLAN_DEFAULT_EXCLUDE) */
    int allow_periodic; /* 0 (default): the periodicity guard turns down any
                           schedule whose increments share a common stride
                           > 1 in some dimension (all its points on a
                           sub-lattice: a full-height ghost in the spectrum)
                           and makes another; 1: such schedules are kept */
} csplan_options;

/* How csplan_make() reached its schedule. */
typedef struct csplan_made {
    int32_t seed;          /* the seed of the schedule kept (best_of) */
    int walk;              /* Poisson-gap: the walk taken (_THREADS, _RADIAL or
                              _LINE); exponential: CSPLAN_WALK_DEFAULT */
    int candidates;        /* schedules made and compared */
    double far_sidelobe;   /* the kept one's far sidelobe when best_of > 1, else -1 */
    int passes;            /* Poisson-gap: passes of the kept schedule's scale search */
    int completed;         /* 1 when no pass gave exactly K and the closest one was
                              completed or thinned (see csplan_poisson_gap()) */
    int periodic_rejected; /* schedules of the right size the guard turned down */
    int periodic;          /* 1 when the kept schedule shares a stride > 1 in some
                              dimension: allowed, or no point was free to move */
    int64_t forced;        /* points sampled in any case: the origin, the head, the last */
} csplan_made;

/*
 * @param options  receives the defaults named in csplan_options; NULL is
 *                 ignored
 */
PSENV_EXTERN(void) csplan_options_init(csplan_options *options);

/*
 * Make a schedule as `options` say.  Poisson-gap: the default walk for grids
 * with two or more dimensions of more than one increment is the published
 * multidimensional scheme of threads (lines along one dimension at a time,
 * started in turn along the grid's diagonal, each walking outwards from the
 * last point sampled at or below the diagonal, the mean gap following the
 * sine portion of the distance sum c_1 + ... + c_D over its largest value);
 * other grids take the line walk of csplan_poisson_gap().  Either way the
 * scale is adjusted pass by pass until a pass gives exactly K points, and
 * the closest pass is completed or thinned after 200.  The radial walk with
 * a quarter sine and nothing forced gives csplan_poisson_gap()'s schedule
 * unless the guard turns it down.  Exponential: csplan_exponential(), with
 * the forced points taken first; a periodic draw is drawn again.  When the
 * guard finds no other schedule (after 200 passes or draws), the point one
 * increment from the origin along the periodic dimension replaces the
 * farthest free point, until no stride remains or no point is free.
 *
 * Not for concurrent use when best_of > 1 (the transform of csplan_psf()).
 *
 * @param grid         the grid, of at most CSPLAN_MOST_GENERATOR_POINTS points
 *                     (and CSPLAN_MOST_PSF_POINTS when best_of > 1)
 * @param options      what to make (csplan_options_init() first)
 * @param indices      receives options->points distinct linear indices in
 *                     the order asked for; the first is 0, the origin
 * @param capacity     entries `indices` holds
 * @param made         optional: receives how the schedule was reached
 * @param detail       optional: receives "" on success, else one sentence
 *                     saying which option is wrong and why, cut to fit
 * @param detail_size  bytes `detail` holds (0 with NULL)
 * @return CSPLAN_OK; CSPLAN_EINVAL for a NULL pointer, an invalid grid or an
 *         option out of range (the detail says which); CSPLAN_ETOOBIG;
 *         CSPLAN_ERANGE when `capacity` < points; CSPLAN_NOT_AVAILABLE for
 *         best_of > 1 without FFTW3; CSPLAN_ENOMEM; CSPLAN_EFFT.  On failure
 *         `indices` and `made` are not written.
 */
PSENV_EXTERN(int) csplan_make(const csplan_grid *grid, const csplan_options *options,
                              int64_t *indices, int64_t capacity, csplan_made *made,
                              char *detail, size_t detail_size);

/*
 * The common stride of a schedule per dimension: the greatest common
 * divisor of the increments its points have there (0 when all are 0).  A
 * stride above 1 puts every point on a sub-lattice: a periodic schedule.
 *
 * @param grid      the grid
 * @param indices   `count` linear indices inside the grid
 * @param count     number of indices, >= 0
 * @param strides   receives grid->dimensions strides
 * @param capacity  entries `strides` holds
 * @return CSPLAN_OK; CSPLAN_EINVAL for a NULL pointer, an invalid grid, a
 *         negative count or an index outside the grid; CSPLAN_ERANGE when
 *         `capacity` is below the dimensions
 */
PSENV_EXTERN(int) csplan_strides(const csplan_grid *grid, const int64_t *indices, int64_t count,
                                 int64_t *strides, int capacity);

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
 * The delays of a schedule's rows for environments that take delay lists:
 * entry k of row i becomes rows[i * columns + k] / sw[k] seconds (an
 * increment lasts one dwell time, 1 / sw).
 *
 * @param rows      count * columns increments, row-major (NULL when `count` is 0)
 * @param count     rows, >= 0
 * @param columns   entries per row, 1 .. CSPLAN_MAX_DIMS
 * @param sw        `columns` spectral widths in Hz, each finite and above 0
 * @param delays    receives count * columns delays in seconds, row-major
 * @param capacity  entries `delays` holds
 * @return CSPLAN_OK; CSPLAN_EINVAL for a NULL pointer, a negative count,
 *         columns out of range, a width not above 0 or not finite, or a
 *         negative increment; CSPLAN_ERANGE when `capacity` is too small.
 *         On failure `delays` is not written.
 */
PSENV_EXTERN(int) csplan_delays(const int *rows, int64_t count, int columns, const double *sw,
                                double *delays, int64_t capacity);

/*
 * Whether rows that do not fit a grid would fit it with its dimensions in
 * another order (a grid given transposed, such as --ni 64,128 for a
 * schedule of 128 x 64).
 *
 * @param grid        the grid as given
 * @param rows        count * columns entries, row-major
 * @param count       rows, >= 0
 * @param columns     entries per row
 * @param reordered   receives the grid reordered so that every row fits it
 *                    (reversed first, then the other orders); untouched
 *                    when the result is not 1
 * @return 1 when the rows lie outside `grid` but inside a reordering of it;
 *         0 when they fit `grid`, fit no reordering, or the columns differ
 *         from the dimensions; CSPLAN_EINVAL for a NULL pointer, an invalid
 *         grid or a negative count
 */
PSENV_EXTERN(int) csplan_transposed(const csplan_grid *grid, const int *rows, int64_t count,
                                    int columns, csplan_grid *reordered);

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

/* The figures outside the main lobe (csplan_psf_far()).  The main lobe is
   every frequency k whose centred indices (-ni/2 .. (ni-1)/2) all satisfy
   |k_d| <= W. */
typedef struct csplan_far_figures {
    double far_sidelobe; /* max of |F(k)| / |F(0)| over every k outside the main
                            lobe; 0 when no frequency lies outside */
    int at[CSPLAN_MAX_DIMS]; /* a frequency (per dimension 0 .. ni-1) where it occurs */
    int exclude;         /* W */
    int64_t outside;     /* frequencies outside the main lobe */
    int shoulder;        /* 1 when the max sidelobe lies inside the main lobe:
                            a shoulder of the broadened peak, not an artefact */
} csplan_far_figures;

/*
 * csplan_psf() and the far sidelobe of the same transform.
 *
 * @param exclude  the main lobe's half-width W, >= 0 (CSPLAN_DEFAULT_EXCLUDE)
 * @param far      receives the figures outside the main lobe
 * The other parameters, the result and the codes are those of csplan_psf();
 * a negative `exclude` or a NULL `far` is CSPLAN_EINVAL.  On failure neither
 * `figures` nor `far` is written.
 */
PSENV_EXTERN(int) csplan_psf_far(const csplan_grid *grid, const unsigned char *mask,
                                 int64_t mask_size, int exclude, csplan_psf_figures *figures,
                                 csplan_far_figures *far, float *magnitude,
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
