// Replacing a schedule file so that a failure never leaves it half-written:
// the rows go to a new file beside the target, which takes the target's
// place only after everything reached the disk.
#ifndef PSENV_SPARSAMP_FILE_REPLACEMENT_H
#define PSENV_SPARSAMP_FILE_REPLACEMENT_H

#include <cstdio>
#include <string>

namespace sparsamp {

class FileReplacement {
public:
    // Prepares the replacement of `path`.  A symbolic link is followed (the
    // link stays, its target is replaced).  A target that exists and is no
    // regular file (a device, a FIFO) cannot be renamed over without
    // destroying it, so it is written in place.  When nothing could be
    // opened, stream() is null and error() says why.
    explicit FileReplacement(const std::string &path);
    ~FileReplacement();
    FileReplacement(const FileReplacement &) = delete;
    FileReplacement &operator=(const FileReplacement &) = delete;

    std::FILE *stream() const { return stream_; }

    // Records the first failure (an errno value) of the caller's writing;
    // commit() then gives up.
    void fail(int error_number);

    // Flushes, syncs and closes the new file and renames it over the
    // target.  0, or the errno value of the first failure; on failure the
    // new file is removed and the target is as it was.
    int commit();

    int error() const { return error_; }

private:
    void abandon();

    std::string target_;
    std::string temporary_;  // empty when writing in place
    std::FILE *stream_ = nullptr;
    int error_ = 0;
};

}  // namespace sparsamp

#endif
