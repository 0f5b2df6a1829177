/* The chief header must compile as C11 on its own. */
#include "shims.h"

int shims_header_c11_count(void);

int shims_header_c11_count(void)
{
    init_shimnames_by_setnum(5);
    int count = shimCount();
    init_shimnames_by_setnum(1);
    return count;
}
