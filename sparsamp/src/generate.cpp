// CSmakeSched: a seeded random schedule.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "cs_record.h"
#include "draw_index.h"

using sparsamp::cs;

namespace sparsamp {
namespace {

// Takes points until `num` are marked in `mask` (the origin counts as the
// first); the accepted draws go to `order` when it is given.
template <bool kExact>
void draw_points(char *mask, int total, int num, int *order)
{
    int taken = 1;
    while (taken < num) {
        const long r = random();
        const std::int64_t index =
            kExact ? draw_index_exact(r, total) : draw_index_extended(r, total);
        if (index >= total || mask[index] != 0)
            continue;
        mask[index] = 1;
        if (order != nullptr)
            order[taken] = static_cast<int>(index);
        ++taken;
    }
}

void draw(char *mask, int total, int num, int *order)
{
    if (total <= kExactQuotientLimit)
        draw_points<true>(mask, total, num, order);
    else
        draw_points<false>(mask, total, num, order);
}

// Rows in increasing linear index.  The mask is walked one line of dimension
// 0 at a time so that the other coordinates advance like an odometer instead
// of being divided out per point, and runs of untaken points are skipped a
// word at a time.
void collect_grid_order(const char *mask, int *const *columns)
{
    const int xdim = cs.xdim;
    const int line = cs.dim[0];
    const int lines = cs.total / line;
    int coord[CS_MAX_DIMS] = {};
    int row = 0;
    for (int l = 0; l < lines; ++l) {
        const char *base = mask + static_cast<std::size_t>(l) * static_cast<std::size_t>(line);
        int c = 0;
        while (c < line) {
            if (c + 8 <= line) {
                std::uint64_t word;
                std::memcpy(&word, base + c, sizeof word);
                if (word == 0) {
                    c += 8;
                    continue;
                }
            }
            if (base[c] != 0) {
                columns[0][row] = c;
                for (int k = 1; k < xdim; ++k)
                    columns[k][row] = coord[k];
                ++row;
            }
            ++c;
        }
        for (int k = 1; k < xdim; ++k) {
            if (++coord[k] < cs.dim[k])
                break;
            coord[k] = 0;
        }
    }
}

void collect_drawing_order(const int *order, int num, int *const *columns)
{
    for (int i = 0; i < num; ++i) {
        int m = order[i];
        for (int k = 0; k < cs.xdim; ++k) {
            columns[k][i] = m % cs.dim[k];
            m /= cs.dim[k];
        }
    }
}

}  // namespace
}  // namespace sparsamp

extern "C" void CSmakeSched(void)
{
    using namespace sparsamp;
    const int total = cs.total;
    const int num = cs.num;
    // A file may have replaced num with more rows than the grid holds; drawing
    // that many distinct points could never end.
    if (total <= 0 || num <= 0 || num > total || cs.xdim <= 0)
        return;
    srandom(static_cast<unsigned>(cs.seed));

    char *mask = allocate_cleared<char>(static_cast<std::size_t>(total));
    int *columns[CS_MAX_DIMS] = {};
    for (int k = 0; k < cs.xdim; ++k)
        columns[k] = allocate_cleared<int>(static_cast<std::size_t>(num));
    int *order = cs.rand != 0 ? allocate_cleared<int>(static_cast<std::size_t>(num)) : nullptr;
    if (mask == nullptr || (cs.rand != 0 && order == nullptr))
        return;
    for (int k = 0; k < cs.xdim; ++k)
        if (columns[k] == nullptr)
            return;

    mask[0] = 1;
    draw(mask, total, num, order);
    if (order != nullptr)
        collect_drawing_order(order, num, columns);
    else
        collect_grid_order(mask, columns);

    cs.mask = mask;
    cs.order = order;
    for (int k = 0; k < cs.xdim; ++k)
        cs.sched[k] = columns[k];
}
