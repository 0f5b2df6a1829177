/* A C program fills the planner's one table of options and makes a
   schedule with it: the struct and the constants compile as C11. */
#include <stdlib.h>

#include "sparsamp_plan.h"

int plan_c11_make(int64_t *first_rows, int count, int32_t *seed_kept);

int plan_c11_make(int64_t *first_rows, int count, int32_t *seed_kept)
{
    csplan_grid grid = {2, {32, 16}};
    csplan_options options;
    csplan_made made;
    int64_t *indices;
    int code;
    int i;
    csplan_options_init(&options);
    options.points = 64;
    options.seed = 11;
    options.walk = CSPLAN_WALK_THREADS;
    indices = malloc((size_t)options.points * sizeof *indices);
    if (indices == NULL)
        return CSPLAN_ENOMEM;
    code = csplan_make(&grid, &options, indices, options.points, &made, NULL, 0);
    if (code == CSPLAN_OK) {
        for (i = 0; i < count && i < options.points; ++i)
            first_rows[i] = indices[i];
        *seed_kept = made.seed;
    }
    free(indices);
    return code;
}
