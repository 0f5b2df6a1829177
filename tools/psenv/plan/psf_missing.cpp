// Built when the FFT library is missing: every other command still works.
#include "psf.h"

namespace psenv::plan {

bool psf_available()
{
    return false;
}

bool point_spread(const Grid &, const std::vector<unsigned char> &, PsfFigures &,
                  std::vector<float> *, std::string &reason)
{
    reason = psf_unavailable_message();
    return false;
}

}  // namespace psenv::plan
