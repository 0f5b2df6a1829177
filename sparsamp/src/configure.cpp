// CSinit: the configuration from the parameters of tree 1.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "cs_record.h"
#include "memalloc.h"
#include "treekeep.h"
#include "vartree.h"

namespace sparsamp {
namespace {

constexpr int kTree = VARTREE_CURRENT;  // the experiment being set up
constexpr int kTextMax = 255;
constexpr int kDefaultSeed = 169;
constexpr long double kInt32Limit = 2147483648.0L;  // 2^31

// Value 1 of a real parameter, when it can be read.
bool read_real(const char *name, double *value)
{
    return P_getreal(kTree, name, value, 1) == P_OK;
}

bool read_text(const char *name, char (&buf)[kTextMax + 1])
{
    return P_getstring(kTree, name, buf, 1, kTextMax) == P_OK;
}

bool is_active(const char *name)
{
    return P_getactive(kTree, name) != 0;
}

// One accepted candidate: the counts of its dimension.
struct Counts {
    long double full;     // D, already truncated
    long double sampled;  // S, already truncated
    long double fraction; // f
};

// The counts of candidate dimension j, or false when it is skipped.  The sums
// and products are rounded to the 64-bit significand on purpose: the
// environment's counts (e.g. 15 % of 6 giving 1) depend on it.
bool candidate_counts(int j, Counts *out)
{
    char ni_name[32];
    char density_name[32];
    if (j == 1) {
        std::strcpy(ni_name, "ni");
        std::strcpy(density_name, "CSdensity");
    } else {
        std::snprintf(ni_name, sizeof ni_name, "ni%d", j);
        std::snprintf(density_name, sizeof density_name, "CSdensity%d", j);
    }
    double n = 0.0;
    double p = 0.0;
    if (!read_real(ni_name, &n) || !is_active(ni_name) || !(n > 1.0))
        return false;
    if (!read_real(density_name, &p) || !is_active(density_name))
        return false;
    const long double f = static_cast<long double>(p) / 100.0L;
    if (!(f > 0.0L && f <= 1.0L))
        return false;
    const long double tenth = static_cast<long double>(0.1);
    const long double n_ext = static_cast<long double>(n);
    long double full = n_ext + tenth;
    long double sampled = f * n_ext;
    sampled = sampled + tenth;
    full = std::trunc(full);
    sampled = std::trunc(sampled);
    if (!(sampled <= full && sampled > 0.0L))
        return false;
    *out = Counts{full, sampled, f};
    return true;
}

void clear_slot(int k)
{
    cs.sched[k] = nullptr;
    cs.dim[k] = 1;
    cs.density[k] = 0.0;
}

// A grid of 2^31 points or more cannot be counted in the record's integers:
// leave no sparse dimension at all rather than a wrapped product.
void drop_all_dimensions()
{
    for (int k = 0; k < CS_MAX_DIMS; ++k)
        clear_slot(k);
    cs.xdim = 0;
    cs.total = 0;
    cs.num = 0;
}

// Rounds half away from zero; seeds beyond the 32-bit range are clamped.
int rounded_seed(double s)
{
    const long double ext = static_cast<long double>(s);
    long double rounded = s < 0 ? std::trunc(ext - 0.5L) : std::trunc(ext + 0.5L);
    if (rounded < -kInt32Limit)
        rounded = -kInt32Limit;
    if (rounded > kInt32Limit - 1)
        rounded = kInt32Limit - 1;
    return static_cast<int>(rounded);
}

}  // namespace
}  // namespace sparsamp

using sparsamp::cs;

extern "C" int CSinit(int flag, const char *directory)
{
    using namespace sparsamp;
    cs.xdim = 0;
    cs.num = 0;
    cs.total = 0;
    cs.readStatus = 0;
    std::snprintf(cs.name, sizeof cs.name, "%s", CS_DEFAULT_NAME);

    char text[kTextMax + 1] = "";
    if (flag != 0 && (!read_text("sampling", text) || std::strcmp(text, "sparse") != 0))
        return -1;

    cs.type = CS_TYPE_GENERATED;
    text[0] = '\0';
    if (read_text("CStype", text)) {
        if (std::strcmp(text, "d") == 0)
            cs.type = CS_TYPE_FILE_D;
        else if (std::strcmp(text, "i") == 0)
            cs.type = CS_TYPE_FILE_I;
    }

    std::int64_t total = 1;
    std::int64_t num = 1;
    bool too_large = false;
    for (int j = 1; j <= CS_MAX_DIMS; ++j) {
        clear_slot(j - 1);
        Counts counts{};
        if (too_large || !candidate_counts(j, &counts))
            continue;
        if (counts.full >= kInt32Limit) {
            too_large = true;
            continue;
        }
        const int k = cs.xdim;
        cs.dim[k] = static_cast<int>(counts.full);
        cs.sdim[k] = static_cast<int>(counts.sampled);
        cs.density[k] = static_cast<double>(counts.fraction);
        std::snprintf(cs.par[k], sizeof cs.par[k], "d%d", j + 1);
        cs.xdim += 1;
        total *= cs.dim[k];
        num *= cs.sdim[k];
        if (total > INT32_MAX || num > INT32_MAX)
            too_large = true;
    }

    releaseAllWithId(CS_ALLOC_TAG);
    // The blocks are gone: nothing may point at them any longer.
    cs.mask = nullptr;
    cs.order = nullptr;

    if (too_large) {
        drop_all_dimensions();
        return -1;
    }
    cs.total = static_cast<int>(total);
    cs.num = static_cast<int>(num);

    if (cs.type != CS_TYPE_GENERATED && directory != nullptr) {
        const int status = CSreadSched(directory);
        if (status != 0) {
            cs.readStatus = status;
            return -1;
        }
        cs.readStatus = 1;
    }

    if (cs.xdim == 0) {
        cs.total = 0;
        cs.num = 0;
    }

    cs.seed = kDefaultSeed;
    cs.rand = 0;
    double s = 0.0;
    if (read_real("CSseed", &s) && !std::isnan(s)) {
        cs.seed = rounded_seed(s);
        cs.rand = s < 0 ? 1 : 0;
    }
    return 0;
}
