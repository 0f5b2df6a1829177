/* The pictures' header compiles as C11 on its own, and a C program draws a
   schedule and its point-spread function with it, releasing what it gets:
   the whole path a C caller takes. */
#include <stdlib.h>
#include <string.h>

#include "sparsamp_pictures.h"

int pictures_c11_draw(size_t *schedule_length, size_t *psf_length);

int pictures_c11_draw(size_t *schedule_length, size_t *psf_length)
{
    static const int rows[] = {0, 0, 1, 0, 3, 1, 0, 2, 5, 3, 7, 1};
    static const int ni[] = {8, 4};
    csplan_grid grid = {2, {8, 4}};
    csplan_scale scale;
    csplan_psf_view view;
    float magnitude[32];
    char *svg = NULL;
    int code;
    int k;

    code = csplan_schedule_svg(rows, 6, 2, ni, 0, 1, "c.sch", CSPLAN_OUTSIDE_REFUSED, &svg);
    if (code != CSPLAN_OK)
        return code;
    *schedule_length = strlen(svg);
    csplan_free_text(svg);

    code = csplan_parse_scale("db:-30", &scale);
    if (code != CSPLAN_OK)
        return code;
    memset(&view, 0, sizeof view);
    for (k = 0; k < 32; ++k)
        magnitude[k] = k == 0 ? 1.0f : (float)(k % 5) / 10.0f;
    view.title = "c.sch";
    view.magnitude = magnitude;
    view.magnitude_size = 32;
    view.figures.points = 6;
    view.figures.grid = 32;
    view.figures.max_sidelobe = 0.4;
    view.figures.at[0] = 4;
    view.far.far_sidelobe = 0.4;
    view.far.at[0] = 4;
    view.far.exclude = CSPLAN_DEFAULT_EXCLUDE;
    code = csplan_psf_svg(&grid, &view, 1, &scale, NULL, &svg);
    if (code != CSPLAN_OK)
        return code;
    *psf_length = strlen(svg);
    csplan_free_text(svg);
    csplan_free_text(NULL);
    return CSPLAN_OK;
}
