/*
 * A small C11 program using the parameter store through its C interface:
 * create a parameter in the "current" tree, set and read values, word a
 * failure the way the store words it, and check parameter files strictly:
 * the tree saved to the file named by the first argument (when there is
 * one), and the same file cut short.
 */
#include <stdio.h>
#include <string.h>

#include "treekeep.h"
#include "treekeep_files.h"

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
    return argc > 1 ? check_saved(argv[1]) : 0;
}
