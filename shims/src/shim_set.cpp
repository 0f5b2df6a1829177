// The current shim set and the questions asked about it.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "shim_tables.h"
#include "shims.h"
#include "shims_internal.h"
#include "treekeep.h"

namespace {

int shimset = 1;
// Until an initialiser runs, set 1 answers with the standard names.
const char *const *sh_names = shims::sh_names_std;

bool known_set(int set)
{
    return set >= 1 && set <= MAX_SHIMSET;
}

void select_set(int set)
{
    shimset = set;
    sh_names = set == 12 ? shims::sh_names_12 : shims::sh_names_std;
}

// (int)(value + 0.5) toward zero, clamped into int32; NaN gives 0.
int round_set_number(double value)
{
    const double sum = value + 0.5;
    if (std::isnan(sum))
        return 0;
    if (sum >= 2147483648.0)
        return INT32_MAX;
    if (sum <= -2147483649.0)
        return INT32_MIN;
    return static_cast<int>(sum);
}

}  // namespace

extern "C" int init_shimnames(int tree)
{
    sh_names = shims::sh_names_std;
    if (tree != 4 && tree != 0) {
        shimset = -1;
        return -1;
    }
    double value = 0.0;
    if (P_getreal(tree, "shimset", &value, 1) < 0) {
        shimset = 1;
        return shimset;
    }
    const int n = round_set_number(value);
    if (n <= 0) {
        std::fprintf(stderr, "Illegal shimset number: %d\n", n);
        shimset = 1;
    } else if (n > MAX_SHIMSET) {
        std::fprintf(stderr, "shimset number > MAX_SHIMSET (%d>%d)\n", n, MAX_SHIMSET);
        shimset = MAX_SHIMSET;
    } else {
        select_set(n);
    }
    return shimset;
}

extern "C" void init_shimnames_by_setnum(int setnum)
{
    select_set(setnum);
}

extern "C" int isactive(int index)
{
    if (!known_set(shimset))
        return 1;
    if (index < 0 || index >= SHIM_INDEX_COUNT)
        return 0;
    const std::uint16_t word = shims::valid_mask[shimset][index / 16];
    return (word >> (index % 16)) & 1;
}

extern "C" int isRRI(void)
{
    return shimset == 5 || shimset == 11 || shimset == 16;
}

extern "C" int shimCount(void)
{
    if (!known_set(shimset))
        return 0;
    int count = 0;
    for (std::uint16_t word : shims::valid_mask[shimset])
        count += std::popcount(word);
    return count;
}

extern "C" const char *get_shimname(unsigned int index)
{
    if (index >= SHIM_INDEX_COUNT || !isactive(static_cast<int>(index)))
        return nullptr;
    return sh_names[index];
}

extern "C" int get_shimindex(const char *name)
{
    if (name == nullptr)
        return -1;
    for (int i = 0; i < SHIM_INDEX_COUNT; ++i)
        if (std::strcmp(sh_names[i], name) == 0 && isactive(i))
            return i;
    return -1;
}
