// The notice of a tool built without the FFT library, in every build so that
// its wording can be tested where the library is present.
#include "psf.h"

namespace psenv::plan {

const char *psf_unavailable_message()
{
    return "point-spread functions are not available: psenv was built without FFTW3; "
           "install the FFTW3 development package (libfftw3-dev on Debian and Ubuntu) and "
           "rebuild psenv with PSENV_WITH_FFTW=ON (the default)";
}

}  // namespace psenv::plan
