// How a picture leaves the library: a copy the caller owns and releases
// with csplan_free_text().
#ifndef PSENV_PICTURES_PICTURE_TEXT_H
#define PSENV_PICTURES_PICTURE_TEXT_H

#include <string>

namespace psenv::plan {

// Copies `picture` into a malloc'd, NUL-terminated text in `*svg`:
// CSPLAN_OK, or CSPLAN_ENOMEM with `*svg` NULL.
int give_text(const std::string &picture, char **svg);

}  // namespace psenv::plan

#endif
