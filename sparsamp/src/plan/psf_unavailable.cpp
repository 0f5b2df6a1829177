// The notice of a build without the FFT library (csplan_strerror of
// CSPLAN_NOT_AVAILABLE), in every build so that its wording can be tested
// where the library is present.
#include "psf.h"

namespace psenv::plan {

const char *psf_unavailable_message()
{
    return "point-spread functions are not available: psenv was built without FFTW3; "
           "install the FFTW3 development package (libfftw3-dev on Debian and Ubuntu) and "
           "rebuild psenv with PSENV_WITH_FFTW=ON (the default)";
}

}  // namespace psenv::plan
