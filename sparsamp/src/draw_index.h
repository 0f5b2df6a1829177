// The grid index of one random() draw.
#ifndef PSENV_SPARSAMP_DRAW_INDEX_H
#define PSENV_SPARSAMP_DRAW_INDEX_H

#include <cstdint>

namespace sparsamp {

inline constexpr std::int64_t kRandomMax = 2147483647;  // largest random() result

// The environment's rule, floor(r / 2147483647 * total + 0.5), evaluated with
// a 64-bit significand in exactly that order.
inline std::int64_t draw_index_extended(long r, int total)
{
    long double x = static_cast<long double>(r) / 2147483647.0L;
    x = x * static_cast<long double>(static_cast<double>(total));
    x = x + 0.5L;
    return static_cast<std::int64_t>(x);
}

// Up to this grid size the rule equals an exact integer quotient, which keeps
// the per-draw cost well below that of random() itself.
inline constexpr int kExactQuotientLimit = 1000000000;

inline std::int64_t draw_index_exact(long r, int total)
{
    const std::uint64_t numerator = 2 * static_cast<std::uint64_t>(r) *
                                        static_cast<std::uint64_t>(total) +
                                    static_cast<std::uint64_t>(kRandomMax);
    return static_cast<std::int64_t>(numerator / (2 * static_cast<std::uint64_t>(kRandomMax)));
}

}  // namespace sparsamp

#endif
