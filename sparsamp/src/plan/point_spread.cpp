// The transform for callers that keep the magnitudes in a vector.
#include "psf.h"

namespace psenv::plan {

bool point_spread(const Grid &grid, std::span<const unsigned char> mask, PsfFigures &figures,
                  std::vector<float> *magnitude, std::string &reason, int exclude)
{
    // A mask that does not fit the grid is refused by the transform itself.
    float *into = nullptr;
    if (magnitude != nullptr && static_cast<std::int64_t>(mask.size()) == grid.points()) {
        magnitude->resize(mask.size());
        into = magnitude->data();
    }
    return transform(grid, mask, figures, into, reason, exclude) == CSPLAN_OK;
}

}  // namespace psenv::plan
