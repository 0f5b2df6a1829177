/*
 * A small C11 program using the installed libraries through their C
 * interfaces alone: the parameter store (create a parameter in the "current"
 * tree, set and read values, word a failure the way the store words it, and
 * check parameter files strictly: the tree saved to the file named by the
 * first argument (when there is one), and the same file cut short), and the
 * sampling planner (a Poisson-gap schedule and the max sidelobe of its
 * point-spread function, when the libraries were built with FFTW3).
 */
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "sparsamp_plan.h"
#include "treekeep.h"
#include "treekeep_files.h"

/* A Poisson-gap schedule of 128 points on a 32 x 16 grid, its mask and its
   max sidelobe.  Libraries built without FFTW3 say so instead of computing
   it, which is no failure. */
static int plan_schedule(void)
{
    enum { kPoints = 128, kGrid = 32 * 16 };
    const csplan_grid grid = {2, {32, 16}};
    int64_t indices[kPoints];
    int rows[kPoints * 2];
    unsigned char mask[kGrid];
    char detail[160] = "";
    int code = csplan_poisson_gap(&grid, kPoints, CSPLAN_WEIGHT_SINE, 169, indices, kPoints);
    if (code == CSPLAN_OK)
        code = csplan_rows(&grid, indices, kPoints, rows, kPoints * 2);
    if (code == CSPLAN_OK)
        code = csplan_mask(&grid, rows, kPoints, 2, mask, kGrid, detail, sizeof detail);
    if (code != CSPLAN_OK) {
        fprintf(stderr, "cannot plan a schedule: %s %s\n", csplan_strerror(code), detail);
        return 1;
    }
    csplan_psf_figures figures;
    code = csplan_psf(&grid, mask, kGrid, &figures, NULL, 0, detail, sizeof detail);
    if (code == CSPLAN_NOT_AVAILABLE) {
        printf("Poisson-gap schedule of %d points on 32 x 16; point-spread functions: %s\n",
               kPoints, csplan_strerror(code));
        return 0;
    }
    if (code != CSPLAN_OK || figures.points != kPoints || !(figures.max_sidelobe > 0.0) ||
        !(figures.max_sidelobe < 1.0)) {
        fprintf(stderr, "no point-spread function: %s %s\n", csplan_strerror(code), detail);
        return 1;
    }
    printf("Poisson-gap schedule of %d points on 32 x 16: max sidelobe %.4f (%.1f dB)\n",
           kPoints, figures.max_sidelobe, csplan_peak_to_sidelobe_db(figures.max_sidelobe));
    return 0;
}

/* Saves tree 1 to `path` and checks the file; then checks its bytes cut
   short, which must be damaged. */
static int check_saved(const char *path)
{
    if (P_save(1, path) != P_OK) {
        fprintf(stderr, "cannot save %s\n", path);
        return 1;
    }
    int error = 0;
    P_filecheck check = {0};
    int verdict = P_checkfile(path, P_CHECK_FIND_REPEATS, &check, &error);
    P_freecheck(&check);
    if (verdict != P_CHECK_WHOLE) {
        fprintf(stderr, "%s: %s\n", path, verdict < 0 ? P_checkfailure(verdict, error) : "damaged");
        return 1;
    }
    const char cut[] = "sw 0 1 100000 100 0 0 0 0 1 64\n2 8000";
    verdict = P_checkbytes(cut, strlen(cut), 0, &check);
    if (verdict != P_CHECK_DAMAGED || check.problemCount != 1) {
        P_freecheck(&check);
        fprintf(stderr, "a cut file passed the check\n");
        return 1;
    }
    printf("%s is whole; cut short, line %ld: %s\n", path, check.problems[0].line,
           check.problems[0].text);
    P_freecheck(&check);
    return 0;
}

int main(int argc, char **argv)
{
    SymbolNode **current = getTreeRoot(getRoot(1));
    if (current == NULL) {
        fprintf(stderr, "no current tree\n");
        return 1;
    }

    varInfo *sw = RcreateVar("sw", current, T_REAL);
    if (sw == NULL || P_setreal(1, "sw", 8000.0, 0) != P_OK || P_setreal(1, "sw", 9000.0, 2) != P_OK) {
        fprintf(stderr, "cannot set sw\n");
        return 1;
    }
    P_setlimits(1, "sw", 100000.0, 100.0, 0.0);

    double value = 0.0;
    int size = 0;
    if (P_getreal(1, "sw", &value, 2) != P_OK || P_getsize(1, "sw", &size) != 2 || value != 9000.0) {
        fprintf(stderr, "unexpected value of sw\n");
        return 1;
    }

    RcreateVar("dm", current, T_STRING);
    P_setstring(1, "dm", "nny", 0);
    char dm[8];
    if (P_getstring(1, "dm", dm, 1, (int)sizeof dm) != P_OK || strcmp(dm, "nny") != 0) {
        fprintf(stderr, "unexpected value of dm\n");
        return 1;
    }

    int code = P_getreal(1, "nosuch", &value, 1);
    if (code != P_NOVAR)
        return 1;
    printf("sw has %d values, the second is %g; dm is %s\n", size, value, dm);
    P_err(code, "example: ", "nosuch");
    if (plan_schedule() != 0)
        return 1;
    return argc > 1 ? check_saved(argv[1]) : 0;
}
