// csplan_parse_scale, csplan_free_text: the scale of the point-spread
// pictures as text, and the release of every picture.
#include <cstdlib>
#include <cstring>

#include "c_interface.h"
#include "picture_text.h"
#include "psf_scale.h"
#include "sparsamp_pictures.h"

namespace psenv::plan {

int give_text(const std::string &picture, char **svg)
{
    *svg = static_cast<char *>(std::malloc(picture.size() + 1));
    if (*svg == nullptr)
        return CSPLAN_ENOMEM;
    std::memcpy(*svg, picture.c_str(), picture.size() + 1);
    return CSPLAN_OK;
}

}  // namespace psenv::plan

extern "C" int csplan_parse_scale(const char *text, csplan_scale *out)
{
    return psenv::plan::guarded([&] {
        if (text == nullptr || out == nullptr)
            return CSPLAN_EINVAL;
        const auto scale = psenv::plan::parse_scale(text);
        if (!scale)
            return CSPLAN_EINVAL;
        out->kind = scale->kind == psenv::plan::PsfScale::Kind::Fixed ? CSPLAN_SCALE_FIXED
                                                                      : CSPLAN_SCALE_DECIBEL;
        out->value = scale->value;
        return CSPLAN_OK;
    });
}

extern "C" void csplan_free_text(char *text)
{
    std::free(text);
}
