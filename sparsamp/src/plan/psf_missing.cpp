// Built without the FFT library: everything but the transform still works.
#include "psf.h"

namespace psenv::plan {

bool psf_available()
{
    return false;
}

int transform(const Grid &, std::span<const unsigned char>, PsfFigures &, float *,
              std::string &reason, int)
{
    reason = psf_unavailable_message();
    return CSPLAN_NOT_AVAILABLE;
}

}  // namespace psenv::plan
