// The one way psenv writes a whole file it produces (an SVG picture): a new
// file beside the target, created exclusively, written, synced, given the
// old file's owner and permission bits, then renamed over it.
#ifndef PSENV_TOOL_REPLACE_FILE_H
#define PSENV_TOOL_REPLACE_FILE_H

#include <string>
#include <string_view>

namespace psenv {

// Makes `path` hold exactly `content`.  A symbolic link is followed (the link
// stays); an existing target that is no regular file (a device, a FIFO) is
// written in place instead of being replaced.  0, or the errno value of the
// first failure, in which case the target is as it was.
int replace_file(const std::string &path, std::string_view content);

}  // namespace psenv

#endif
