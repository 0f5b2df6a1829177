// The sampling mask and the figures that need no transform.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "psf.h"

namespace psenv::plan {

std::string columns_problem(std::size_t columns, int dimensions)
{
    return "the schedule has " + std::to_string(columns) + " column" + (columns == 1 ? "" : "s") +
           " but the grid " + std::to_string(dimensions) + " dimension" +
           (dimensions == 1 ? "" : "s");
}

int mark_rows(const Grid &grid, const sparsamp::ScheduleEntries &rows, unsigned char *mask,
              std::string &problem)
{
    const auto columns = rows.columns.size();
    if (static_cast<int>(columns) != grid.dimensions()) {
        problem = columns_problem(columns, grid.dimensions());
        return CSPLAN_ECOLUMNS;
    }
    std::memset(mask, 0, static_cast<std::size_t>(grid.points()));
    for (std::int64_t i = 0; i < rows.rows; ++i) {
        std::int64_t index = 0;
        std::int64_t stride = 1;
        for (int k = 0; k < grid.dimensions(); ++k) {
            const int n = grid.ni[static_cast<std::size_t>(k)];
            const int c = rows.entry(i, static_cast<std::size_t>(k));
            if (c < 0 || c >= n) {
                problem = "row " + std::to_string(i + 1) + ": entry " + std::to_string(c) +
                          " of dimension " + std::to_string(k + 1) + " lies outside 0.." +
                          std::to_string(n - 1);
                return CSPLAN_EOUTSIDE;
            }
            index += c * stride;
            stride *= n;
        }
        mask[index] = 1;
    }
    return CSPLAN_OK;
}

bool sampling_mask(const Grid &grid, const Columns &columns, std::vector<unsigned char> &mask,
                   std::string &problem)
{
    sparsamp::ScheduleEntries rows;
    for (const auto &column : columns)
        rows.columns.push_back(column.data());
    rows.rows = columns.empty() ? 0 : static_cast<std::int64_t>(columns.front().size());
    if (static_cast<int>(columns.size()) == grid.dimensions())
        mask.assign(static_cast<std::size_t>(grid.points()), 0);
    return mark_rows(grid, rows, mask.data(), problem) == CSPLAN_OK;
}

namespace {

// Bit 8i set when byte i of the eight at `p` (in memory order) is not zero.
std::uint64_t sampled_bytes(const unsigned char *p)
{
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    if constexpr (std::endian::native == std::endian::big)
        word = __builtin_bswap64(word);
    word |= word >> 4;
    word |= word >> 2;
    word |= word >> 1;
    return word & 0x0101010101010101ULL;
}

// Bit i set when point i of the `count` (1..64) at `p` is not sampled;
// the bits past `count` are clear.
std::uint64_t unsampled_word(const unsigned char *p, std::int64_t count)
{
    unsigned char padded[64];
    if (count < 64) {
        std::memset(padded, 1, sizeof padded);
        std::memcpy(padded, p, static_cast<std::size_t>(count));
        p = padded;
    }
    std::uint64_t taken = 0;
    for (int byte = 0; byte < 64; byte += 8)
        // The low bits of eight bytes gathered into one byte, in order.
        taken |= ((sampled_bytes(p + byte) * 0x0102040810204080ULL) >> 56) << byte;
    return ~taken;
}

// Bits that end a run of at least `length` (>= 1) set bits of `word`.
std::uint64_t run_ends(std::uint64_t word, std::int64_t length)
{
    std::int64_t have = 1;
    while (have < length && word != 0) {
        const std::int64_t step = std::min(have, length - have);
        word &= word << step;
        have += step;
    }
    return word;
}

// The longest run of set bits of `word`, when longer than `known`; else
// `known`.
std::int64_t longest_run_beyond(std::uint64_t word, std::int64_t known)
{
    while (known < 64 && run_ends(word, known + 1) != 0)
        ++known;
    return known;
}

// Four runs side by side.  The row buffer's padding reads as sampled, so
// lanes past the last line stay at zero.
using Lanes = std::uint32_t __attribute__((vector_size(16)));

}  // namespace

std::vector<std::int64_t> largest_gaps(const Grid &grid, std::span<const unsigned char> mask)
{
    // Runs along a column are counted in 32 bits: no dimension holds 2^31
    // increments.
    std::vector<std::int64_t> gaps(static_cast<std::size_t>(grid.dimensions()), 0);
    const std::int64_t total = grid.points();
    const unsigned char *bytes = mask.data();
    std::int64_t stride = 1;
    for (int k = 0; k < grid.dimensions(); ++k) {
        const std::int64_t n = grid.ni[static_cast<std::size_t>(k)];
        const std::int64_t block = stride * n;
        std::int64_t largest = 0;
        if (stride == 1) {
            // Each line as words of 64 bits, one per point, set where the
            // point is not sampled; a gap is a run of set bits.
            for (std::int64_t start = 0; start < total; start += n) {
                std::int64_t carried = 0;  // the run reaching the word's start
                for (std::int64_t j = 0; j < n; j += 64) {
                    const std::uint64_t empty = unsampled_word(bytes + start + j, std::min<std::int64_t>(64, n - j));
                    if (empty == ~std::uint64_t{0}) {
                        carried += 64;
                        continue;
                    }
                    largest = std::max(largest, carried + std::countr_one(empty));
                    if (std::popcount(empty) > largest)
                        largest = longest_run_beyond(empty, largest);
                    carried = std::countl_one(empty);
                }
                largest = std::max(largest, carried);
            }
        } else {
            // The lines of a block lie side by side, one byte of each per
            // row: the rows are read in order, each line keeping its own run
            // and its longest run, four lines to a vector.
            const std::int64_t width = (stride + 3) / 4;
            std::vector<Lanes> run(static_cast<std::size_t>(width));
            std::vector<Lanes> top(static_cast<std::size_t>(width), Lanes{});
            std::vector<unsigned char> row(static_cast<std::size_t>(width * 4), 1);
            for (std::int64_t high = 0; high < total; high += block) {
                std::fill(run.begin(), run.end(), Lanes{});
                for (std::int64_t j = 0; j < n; ++j) {
                    std::memcpy(row.data(), bytes + high + j * stride, static_cast<std::size_t>(stride));
                    for (std::int64_t w = 0; w < width; ++w) {
                        const unsigned char *b = row.data() + 4 * w;
                        const Lanes point = {b[0], b[1], b[2], b[3]};
                        Lanes &r = run[static_cast<std::size_t>(w)];
                        Lanes &t = top[static_cast<std::size_t>(w)];
                        r = (r + 1) & (point == 0);
                        t = t > r ? t : r;
                    }
                }
            }
            for (const Lanes &t : top)
                for (int lane = 0; lane < 4; ++lane)
                    largest = std::max<std::int64_t>(largest, t[lane]);
        }
        gaps[static_cast<std::size_t>(k)] = largest;
        stride = block;
    }
    return gaps;
}

double peak_to_sidelobe_db(double max_sidelobe)
{
    if (max_sidelobe <= 0)
        return std::numeric_limits<double>::infinity();
    return -20.0 * std::log10(max_sidelobe);
}

}  // namespace psenv::plan
