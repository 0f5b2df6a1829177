/*
 * sparsamp_pictures.h - pictures of sampling schedules: the schedule itself
 * (a strip, a grid or a projection with histograms) and the point-spread
 * function of one schedule or of several side by side, as self-contained
 * SVG documents.
 *
 * Conventions
 *   - No state and no handle: every function works on what it is given.
 *     The caller owns every input; a picture comes back as a text the
 *     library allocates and csplan_free_text() releases.
 *   - Results are the codes of sparsamp_plan.h (CSPLAN_OK, CSPLAN_EINVAL,
 *     CSPLAN_EOUTSIDE, CSPLAN_ETOOBIG, CSPLAN_ENOMEM), which
 *     csplan_strerror() words.
 *     Nothing is printed; nothing aborts.  On failure the picture's pointer
 *     is set to NULL and nothing is left to release.
 *   - Rows are stored row-major as in sparsamp_plan.h: rows[i * columns + k]
 *     is the increment of dimension k in row i; grids and magnitudes
 *     number their points as csplan_grid does (dimension 0 fastest).
 *   - Texts given (titles, file names) may hold any bytes: a byte that is
 *     not valid UTF-8 is drawn as U+FFFD, line breaks and other controls
 *     too; markup characters are escaped.
 *   - Every function may run concurrently with any other.
 *
 * Compiles as C11 and as C++.
 */
#ifndef PSENV_SPARSAMP_PICTURES_H
#define PSENV_SPARSAMP_PICTURES_H

#include <stddef.h>
#include <stdint.h>

#include "psenv_extern.h"
#include "sparsamp_plan.h"

#ifdef __cplusplus
extern "C" {
#endif

/* How |F| / |F(0)| maps to colour (heat maps) or height (lines). */
#define CSPLAN_SCALE_AUTOMATIC 0 /* 0 up to the picture's own top: the max sidelobe of a
                                    heat map (the largest of several), 1 for a line */
#define CSPLAN_SCALE_FIXED 1     /* 0 up to `value` */
#define CSPLAN_SCALE_DECIBEL 2   /* `value` dB (below 0) up to 0 dB, the peak */

/* Bounds of csplan_scale.value. */
#define CSPLAN_MOST_FIXED_SCALE 1e6
#define CSPLAN_LOWEST_DECIBEL_SCALE -400.0

/* A picture's scale.  A zeroed struct is the automatic scale. */
typedef struct csplan_scale {
    int kind;     /* CSPLAN_SCALE_AUTOMATIC, _FIXED or _DECIBEL */
    double value; /* fixed: the top, above 0 and at most CSPLAN_MOST_FIXED_SCALE;
                     decibel: the floor, below 0 and at least
                     CSPLAN_LOWEST_DECIBEL_SCALE; automatic: not read */
} csplan_scale;

/* How csplan_schedule_svg() takes entries outside the grid. */
#define CSPLAN_OUTSIDE_REFUSED 0 /* every entry lies in 0 .. ni[k]-1 (0 or above
                                    without ni), else CSPLAN_EOUTSIDE */
#define CSPLAN_OUTSIDE_DRAWN 1   /* the rows as a file holds them: an entry at or
                                    above ni[k] lengthens its axis, a negative
                                    entry is left out of the panels */

/* One schedule's point-spread function as csplan_psf_far() gives it. */
typedef struct csplan_psf_view {
    const char *title;          /* the schedule's name, such as its file (NULL or empty:
                                   a single view's title names none) */
    const float *magnitude;     /* |F(k)| / |F(0)| of every frequency k in linear index
                                   order, each finite and at least 0 */
    int64_t magnitude_size;     /* entries of `magnitude`: the grid's points */
    csplan_psf_figures figures; /* points, grid (the grid's points), max_sidelobe and at[]
                                   (each in 0 .. ni-1) are drawn */
    csplan_far_figures far;     /* far_sidelobe, at[], exclude (>= 0) and shoulder are drawn */
} csplan_psf_view;

/*
 * Read a scale as the command line gives it: "fixed:X" with X above 0 and
 * at most CSPLAN_MOST_FIXED_SCALE, or "db:F" with F below 0 and at least
 * CSPLAN_LOWEST_DECIBEL_SCALE.  X and F are plain decimals: an optional
 * sign, digits with an optional fraction and exponent, nothing else (no
 * blanks, no "inf" or "nan").  There is no text for the automatic scale:
 * it is the one taken when none is given.
 *
 * @param text  the text, NUL-terminated
 * @param out   receives the scale; untouched on failure
 * @return CSPLAN_OK; CSPLAN_EINVAL for a NULL pointer or any other text
 */
PSENV_EXTERN(int) csplan_parse_scale(const char *text, csplan_scale *out);

/*
 * The picture of a schedule.  One column: a strip of every increment with
 * the sampled ones filled.  Two: the grid with the sampled cells filled.
 * Three or more: the projection on dimensions a and b (a darker cell holds
 * more points, with a legend of the shades) and a histogram of sampled
 * points per increment for each dimension.  Axes run 0 .. ni[k]-1 when the
 * grid is given, else 0 .. the largest entry; beyond 512 increments per
 * axis (1024 for a strip, 256 for a histogram) increments share cells.  The
 * axes name dimension k by its delay d(k+2).
 *
 * @param rows     count * columns entries, row-major
 * @param count    rows, at least 1
 * @param columns  entries per row, 1 .. CSPLAN_MAX_DIMS
 * @param ni       optional: `columns` increment counts, each at least 1
 *                 (NULL: the grid is unknown)
 * @param a, b     0-based dimensions of the panel's horizontal and vertical
 *                 axis: two different ones in 0 .. columns-1 (0 and 1 as a
 *                 rule); not read with one column
 * @param title    optional: the schedule's name, such as its file, drawn
 *                 after "Sampling schedule " (NULL or empty: the title is
 *                 "Sampling schedule" alone)
 * @param outside  CSPLAN_OUTSIDE_REFUSED or CSPLAN_OUTSIDE_DRAWN
 * @param svg      receives the SVG document, NUL-terminated; the caller
 *                 releases it with csplan_free_text()
 * @return CSPLAN_OK; CSPLAN_EINVAL for a NULL rows or svg, a count below 1,
 *         columns out of range, an ni count below 1, a or b out of range or
 *         equal, or an unknown `outside`; CSPLAN_EOUTSIDE for an entry
 *         outside the grid under CSPLAN_OUTSIDE_REFUSED; CSPLAN_ENOMEM
 */
PSENV_EXTERN(int) csplan_schedule_svg(const int *rows, int64_t count, int columns, const int *ni,
                                      int a, int b, const char *title, int outside, char **svg);

/*
 * The picture of point-spread functions of one grid.  One view: the
 * function of that schedule with its figures.  Several: the schedules side
 * by side on one scale (two a row for lines, three for heat maps), each
 * under its title and figures.  A one-dimensional grid gives |F(k)| /
 * |F(0)| as a line over k centred on 0, the main lobe shaded; more
 * dimensions give a heat map over dimensions 1 and 2 (the largest value
 * over the others, the peak drawn white; beyond 200 frequencies per axis
 * frequencies share cells) with a colour legend.  The main lobe |k| <= W
 * (W of the first view's far figures) is outlined, the max and the far
 * sidelobe marked.  Axes count frequency indices, or Hz where a spectral
 * width is given (index k is k * sw / ni Hz).
 *
 * @param grid   the grid of every view, of at most CSPLAN_MOST_PSF_POINTS points
 * @param views  `count` views
 * @param count  views, at least 1
 * @param scale  optional: the scale (NULL: automatic)
 * @param sw     optional: grid->dimensions spectral widths in Hz, each
 *               finite and 0 (unknown) or above (NULL: all unknown)
 * @param svg    receives the SVG document, NUL-terminated; the caller
 *               releases it with csplan_free_text()
 * @return CSPLAN_OK; CSPLAN_EINVAL for a NULL grid, views or svg, an
 *         invalid grid, a count below 1, a scale of unknown kind or with a
 *         value out of bounds, a negative or non-finite width, or a view
 *         with a NULL magnitude, a magnitude size other than the grid's
 *         points, a magnitude or sidelobe that is negative or not finite,
 *         figures whose grid is not the grid's points or whose points lie
 *         outside 0 .. grid, a position outside the grid or a negative W;
 *         CSPLAN_ETOOBIG;
 *         CSPLAN_ENOMEM
 */
PSENV_EXTERN(int) csplan_psf_svg(const csplan_grid *grid, const csplan_psf_view *views, int count,
                                 const csplan_scale *scale, const double *sw, char **svg);

/*
 * Release a text the pictures returned.  NULL is ignored.
 *
 * @param text  a picture of csplan_schedule_svg() or csplan_psf_svg()
 */
PSENV_EXTERN(void) csplan_free_text(char *text);

#ifdef __cplusplus
}
#endif

#endif
