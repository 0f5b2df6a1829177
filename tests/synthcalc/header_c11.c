/* The chief header must compile as C11 on its own. */
#include "synthcalc.h"

int synthcalc_header_c11_word(void);

int synthcalc_header_c11_word(void)
{
    short halves[2];
    oneLongToTwoShort(0x10002, halves);
    return halves[0] + halves[1];
}
