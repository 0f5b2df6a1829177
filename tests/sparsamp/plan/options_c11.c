/* A C program reads the planner's options by name: the table and the
   reading compile as C11. */
#include "sparsamp_plan_options.h"

int plan_c11_options(csplan_options *options, size_t *count);

int plan_c11_options(csplan_options *options, size_t *count)
{
    csplan_grid grid = {2, {32, 16}};
    const char *names[] = {"walk", "last", "points"};
    const char *values[] = {"radial", NULL, "40"};
    char detail[128];
    csplan_options_init(options);
    *count = csplan_option_count();
    return csplan_options_set_all(options, &grid, "poisson-gap", names, values, 3, detail,
                                  sizeof detail);
}
