/*
 * A small C11 program using the parameter store through its C interface:
 * create a parameter in the "current" tree, set and read values, and word a
 * failure the way the store words it.
 */
#include <stdio.h>
#include <string.h>

#include "treekeep.h"

int main(void)
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
    return 0;
}
