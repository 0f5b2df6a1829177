/* The header of the value rules compiles as C11 on its own, and a C
   program forms a refusal's text from a check. */
#include "treekeep_values.h"

int treekeep_values_c11_refusal(int tree, const char *name, const char *value, char *text,
                                size_t size);

/* The code of a check of one value, the refusal's whole text into `text`. */
int treekeep_values_c11_refusal(int tree, const char *name, const char *value, char *text,
                                size_t size)
{
    char detail[128];
    P_verdict verdict = {detail, sizeof detail, 0, 0};
    const char *values[1];
    values[0] = value;
    int code = P_checkvalues(tree, name, values, 1, &verdict);
    P_refusaltext(code, name, detail, text, size);
    return code;
}
