// CSmakeSched: a seeded random schedule.
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "cs_record.h"
#include "draw_index.h"

using sparsamp::cs;

namespace sparsamp {
namespace {

// Takes points until `num` are marked in `mask` (the origin counts as the
// first); the accepted draws go to `order` when it is kept.  Whether a draw is
// taken is as random as the draw itself, so the loop decides it without a
// branch: the index `total` names no point and is redirected to the origin,
// which is always taken already.
template <bool kExact, bool kKeepOrder>
void draw_points(char *mask, int total, int num, int *order)
{
    int taken = 1;
    while (taken < num) {
        const long r = random();
        const std::int64_t drawn =
            kExact ? draw_index_exact(r, total) : draw_index_extended(r, total);
        const std::int64_t index = drawn >= total ? 0 : drawn;
        const int fresh = mask[index] == 0;
        mask[index] = 1;
        if constexpr (kKeepOrder)
            order[taken] = static_cast<int>(index);  // kept only when fresh
        taken += fresh;
    }
}

void draw(char *mask, int total, int num, int *order)
{
    const bool exact = total <= kExactQuotientLimit;
    if (order != nullptr)
        exact ? draw_points<true, true>(mask, total, num, order)
              : draw_points<false, true>(mask, total, num, order);
    else
        exact ? draw_points<true, false>(mask, total, num, order)
              : draw_points<false, false>(mask, total, num, order);
}

// Bit i set when byte i of `word` is taken (mask bytes hold 0 or 1): the
// multiplication gathers the low bit of every byte into the top byte.
inline unsigned taken_bits(std::uint64_t word)
{
    return static_cast<unsigned>(((word & 0x0101010101010101ULL) * 0x0102040810204080ULL) >> 56);
}

// Rows in increasing linear index.  The mask is walked one line of dimension
// 0 at a time so that the other coordinates advance like an odometer instead
// of being divided out per point.  Eight mask bytes at a time become a bit
// set whose members are visited directly, so untaken points cost next to
// nothing and taken ones no mispredicted branch each.  The walk ends at the
// last taken point.
void collect_grid_order(const char *mask, int num, int *const *columns)
{
    const int xdim = cs.xdim;
    const int line = cs.dim[0];
    const int lines = cs.total / line;
    int *const first = columns[0];
    int coord[CS_MAX_DIMS] = {};
    int row = 0;
    for (int l = 0; l < lines && row < num; ++l) {
        const char *base = mask + static_cast<std::size_t>(l) * static_cast<std::size_t>(line);
        const int line_start = row;
        int c = 0;
        for (; c + 8 <= line && row < num; c += 8) {
            std::uint64_t word;
            std::memcpy(&word, base + c, sizeof word);
            for (unsigned bits = taken_bits(word); bits != 0 && row < num; bits &= bits - 1)
                first[row++] = c + std::countr_zero(bits);
        }
        for (; c < line && row < num; ++c)
            if (base[c] != 0)
                first[row++] = c;
        for (int k = 1; k < xdim; ++k)
            for (int i = line_start; i < row; ++i)
                columns[k][i] = coord[k];
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
        collect_grid_order(mask, num, columns);

    cs.mask = mask;
    cs.order = order;
    for (int k = 0; k < cs.xdim; ++k)
        cs.sched[k] = columns[k];
}
