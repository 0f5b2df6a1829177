// The module's one record and the helpers its source files share.
#ifndef PSENV_SPARSAMP_CS_RECORD_H
#define PSENV_SPARSAMP_CS_RECORD_H

#include <cstddef>
#include <optional>
#include <string>

#include "sparsamp.h"

namespace sparsamp {

// Field order is the one the environment's callers know; keep it.
struct CSRecord {
    int *sched[CS_MAX_DIMS];
    double density[CS_MAX_DIMS];
    char *mask;
    int *order;
    int xdim;
    int sdim[CS_MAX_DIMS];
    int dim[CS_MAX_DIMS];
    char par[CS_MAX_DIMS][CS_PAR_SIZE];
    int seed;
    int rand;
    int type;
    int num;
    int total;
    int readStatus;
    char name[CS_NAME_SIZE];
};

extern CSRecord cs;

// Longest schedule path the reader and writer accept.
inline constexpr std::size_t kMaxPathLength = 255;

// The schedule file's path by the location rule, or nothing when it cannot be
// formed (a path over kMaxPathLength, a NULL directory with a relative name,
// an unterminated name buffer).
std::optional<std::string> schedule_path(const char *directory);

// The columns that exist, in order (a column never made is left out of the
// file and the listing); returns their count.
int made_columns(int *(&columns)[CS_MAX_DIMS]);

// A zero-filled block of `count` elements under the module's tag, or null.
template <typename T>
T *allocate_cleared(std::size_t count);

}  // namespace sparsamp

#endif
