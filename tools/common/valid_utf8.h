// Texts that end up in a document which must be UTF-8 (an SVG picture) come
// from places that promise nothing: file names, program names, parameters.
#ifndef PSENV_TOOL_VALID_UTF8_H
#define PSENV_TOOL_VALID_UTF8_H

#include <string>
#include <string_view>

namespace psenv {

// `text` with every byte that does not belong to a well-formed UTF-8 sequence
// (no overlong forms, no surrogates, nothing above U+10FFFF) replaced by
// U+FFFD; well-formed text comes back unchanged.
std::string valid_utf8(std::string_view text);

}  // namespace psenv

#endif
