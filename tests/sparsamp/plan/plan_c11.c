/* The planner's header compiles as C11 on its own, and a C program makes a
   Poisson-gap schedule with it, writes it, checks the file strictly and
   computes its max sidelobe: the whole path a C caller takes. */
#include <stdlib.h>

#include "sparsamp_plan.h"

int plan_c11_poisson_gap(const char *path, double *max_sidelobe, long *problems);

int plan_c11_poisson_gap(const char *path, double *max_sidelobe, long *problems)
{
    csplan_grid grid = {2, {32, 16}};
    const int64_t points = 128;
    const int64_t total = csplan_grid_points(&grid);
    int64_t *indices = malloc((size_t)points * sizeof *indices);
    int *rows = malloc((size_t)points * 2 * sizeof *rows);
    unsigned char *mask = malloc((size_t)total);
    csplan_check_report report;
    csplan_psf_figures figures;
    char detail[128];
    int error = 0;
    int code = CSPLAN_ENOMEM;
    if (indices == NULL || rows == NULL || mask == NULL)
        goto done;

    code = csplan_poisson_gap(&grid, points, CSPLAN_WEIGHT_SINE, 169, indices, points);
    if (code == CSPLAN_OK)
        code = csplan_rows(&grid, indices, points, rows, points * 2);
    if (code == CSPLAN_OK)
        code = csplan_write_schedule(path, rows, points, 2, &error);
    if (code != CSPLAN_OK)
        goto done;

    code = csplan_check_schedule(path, grid.ni, grid.dimensions, &report, &error);
    if (code != CSPLAN_OK)
        goto done;
    *problems = (long)report.count;
    csplan_free_check_report(&report);

    code = csplan_mask(&grid, rows, points, 2, mask, total, NULL, 0);
    if (code == CSPLAN_OK) {
        code = csplan_psf(&grid, mask, total, &figures, NULL, 0, detail, sizeof detail);
        if (code == CSPLAN_OK)
            *max_sidelobe = figures.max_sidelobe;
    }

done:
    free(mask);
    free(rows);
    free(indices);
    return code;
}
