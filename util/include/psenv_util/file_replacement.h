// Replacing a file so that a failure never leaves it half-written: the new
// bytes go to a new file beside the target, which takes the target's place
// by rename() only after it was written, flushed, synced and closed without
// error.  The target path therefore always names either the complete old
// file or the complete new one, also when the process dies mid-write.
#ifndef PSENV_UTIL_FILE_REPLACEMENT_H
#define PSENV_UTIL_FILE_REPLACEMENT_H

#include <cstdio>
#include <string>
#include <string_view>

#include "psenv_util/file_calls.h"

namespace psenv::util {

struct ReplacementOptions {
    // A symbolic link at the path: followed (the link stays, the file it
    // names is replaced; a dangling link fails with ENOENT), or replaced
    // itself, its pointee untouched, the new file made as where nothing
    // stood (a link's own mode bits say nothing).
    bool follow_links = true;
    // An existing target that is no regular file (a FIFO, a device) cannot
    // be renamed over without destroying it: written in place (no temporary
    // file, nothing kept or renamed), or refused (EISDIR for a directory,
    // EINVAL otherwise) with nothing touched.
    bool write_special_in_place = true;
    // The new file's name.  Empty: the target's name followed by ".tmp" and
    // the process id, with ".1" ... ".99" appended while a name is taken (a
    // name that exists is never opened).  Given: that name; whatever stands
    // there is removed (a link itself, never what it names) and the creation
    // tried once more, so the name belongs to the replacement.
    std::string temporary;
    // The file calls; null: the system's.
    const FileCalls *calls = nullptr;
};

// A replacement in progress.  An existing regular target hands its owner,
// group and permission bits to the new file (a new target gets 0666 less
// the umask).  Destroyed without a successful commit(), it removes its new
// file and leaves the target as it was.  Not copyable.
class FileReplacement {
public:
    // Examines the target and opens the new file (or the target itself when
    // written in place).  When nothing could be opened, stream() is null and
    // error() says why; target_at_fault() tells the target's fault (it could
    // not be examined, was refused, or could not be opened in place) from
    // the new file's (it could not be created).  Nothing here throws:
    // running out of memory is ENOMEM, before anything was created.
    explicit FileReplacement(const std::string &path, ReplacementOptions options = {});
    ~FileReplacement();
    FileReplacement(const FileReplacement &) = delete;
    FileReplacement &operator=(const FileReplacement &) = delete;

    // Where the caller writes; owned by the replacement.  Null after
    // commit() and when nothing could be opened.
    std::FILE *stream() const { return stream_; }

    // Records the first failure (an errno value; 0 counts as EIO) of the
    // caller's writing; commit() then gives up.
    void fail(int error_number);

    // Gives the new file the old one's owner and mode, flushes, syncs and
    // closes it and renames it over the target.  0, or the errno value of
    // the first failure, in which case the new file is removed and the
    // target is as it was.  After the rename the directory is synced too, so
    // that a crash cannot bring the old file back; a failure there is not
    // reported, since the target already holds the new file.  A device or
    // FIFO written in place is flushed and closed; one that cannot be synced
    // is no failure.  Once only.
    int commit();

    int error() const { return error_; }
    bool target_at_fault() const { return target_at_fault_; }

    // The new file's name; empty when writing in place or nothing is open.
    const std::string &temporary() const { return temporary_; }

private:
    bool examine(const std::string &path);
    void create(const ReplacementOptions &options);
    bool keep_attributes();
    void abandon();

    const FileCalls &calls_;
    std::string target_;
    std::string temporary_;
    std::FILE *stream_ = nullptr;
    struct stat old_ {};
    bool replacing_ = false;  // an existing regular file hands on its attributes
    bool in_place_ = false;
    bool follow_links_ = true;
    bool special_in_place_ = true;
    int error_ = 0;
    bool target_at_fault_ = false;
};

// Makes `path` hold exactly `content`, through a FileReplacement.  0, or the
// errno value of the first failure, in which case the target is as it was.
int replace_file(const std::string &path, std::string_view content,
                 const ReplacementOptions &options = {});

}  // namespace psenv::util

#endif
