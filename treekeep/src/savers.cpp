// Saving a tree: every savable record, in pre-order, into "<path><pid>",
// which replaces the target only once it is completely on disk.
//
// The temporary file is created exclusively, so a file or link someone put
// at its name is never written through; it is flushed and synced before it
// is closed, and the target is replaced by rename() alone: the target path
// always names either the complete old file or the complete new one, also
// when the process dies or the machine stops mid-save.  A regular file in
// the target's place hands its owner, group and permission bits to the new
// file; a symbolic link there is replaced itself, its pointee untouched.
// Any failure after the temporary file was created removes it and leaves
// the target as it was.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <string>

#include "io_seam.h"
#include "tree_walk.h"
#include "treekeep_internal.h"

namespace {

// A node whose record goes into a file: named, with a record, not a "$"
// name, and a name the tree component accepts.
bool savable(const SymbolNode &node)
{
    return node.name != nullptr && node.varInfo != nullptr && node.name[0] != '$' &&
           goodName(node.name) != 0;
}

bool unshared(const varInfo &record) { return (record.prot & P_PROT_UNSHARED) != 0; }

int writeTree(SymbolNode **root, FILE *stream, bool unsharedOnly)
{
    if (root == nullptr)
        return P_OK;
    int result = treekeep::walkPreOrder(*root, [&](SymbolNode *node) {
        if (!savable(*node) || (unsharedOnly && !unshared(*node->varInfo)))
            return P_OK;
        return storeOnDisk(node->name, node->varInfo, stream);
    });
    // The walk's stack failing to grow is a save that did not happen.
    return result == P_OK ? P_OK : P_WRITE;
}

// Drop a temporary file that must not survive a failed save.
int discard(const treekeep_io_calls &io, const std::string &temporary)
{
    io.unlink_call(temporary.c_str());
    return P_WRITE;
}

// Create the temporary file, or null: the file cannot be created.  A name
// that is taken (a leftover of a killed save, or something planted there)
// is removed, never followed, and tried once more; what cannot be removed
// (a directory) leaves the name taken.
FILE *createTemporary(const treekeep_io_calls &io, const std::string &temporary)
{
    errno = 0;
    FILE *stream = io.open_call(temporary.c_str(), "w");
    if (stream != nullptr || errno != EEXIST)
        return stream;
    if (io.unlink_call(temporary.c_str()) != 0 && errno != ENOENT)
        return nullptr;
    return io.open_call(temporary.c_str(), "w");
}

// Hand the replaced file's owner, group and permission bits to the new one.
bool keepAttributes(const treekeep_io_calls &io, FILE *stream, const struct stat &old)
{
    // Ownership first: a change of owner may clear set-id bits.
    return io.chown_call(stream, old.st_uid, old.st_gid) == 0 &&
           io.chmod_call(stream, old.st_mode & 07777) == 0;
}

int saveTo(SymbolNode **root, const char *path, int (*walk)(SymbolNode **, FILE *))
{
    if (root == nullptr)
        return P_NOTREE;
    if (path == nullptr || *path == '\0')
        return P_NOFILE;
    std::string temporary;
    try {
        temporary = std::string(path) + std::to_string(getpid());
    } catch (const std::bad_alloc &) {
        return P_NOFILE;
    }
    const treekeep_io_calls &io = *treekeep_io();

    // A device, a pipe or a directory in the target's place is not a
    // parameter file to replace.  A symbolic link is: the rename replaces
    // the link, and the new file is made like one where nothing stood,
    // since a link's own mode bits say nothing.
    struct stat old {};
    bool replacing = false;
    if (io.lstat_call(path, &old) == 0 && !S_ISLNK(old.st_mode)) {
        if (!S_ISREG(old.st_mode))
            return P_WRITE;
        replacing = true;
    }

    FILE *stream = createTemporary(io, temporary);
    if (stream == nullptr)
        return P_NOFILE;
    if (walk(root, stream) != P_OK || (replacing && !keepAttributes(io, stream, old)) ||
        io.flush_call(stream) != 0 || io.sync_call(stream) != 0) {
        io.close_call(stream);
        return discard(io, temporary);
    }
    if (io.close_call(stream) != 0)
        return discard(io, temporary);
    if (io.rename_call(temporary.c_str(), path) != 0)
        return discard(io, temporary);
    return P_OK;
}

}  // namespace

extern "C" int copytodisk(SymbolNode **root, FILE *stream)
{
    return writeTree(root, stream, false);
}

extern "C" int copyUnsharedToDisk(SymbolNode **root, FILE *stream)
{
    return writeTree(root, stream, true);
}

extern "C" int P_save(int tree, const char *path)
{
    return saveTo(getTreeRoot(getRoot(tree)), path, copytodisk);
}

extern "C" int P_saveUnsharedGlobal(const char *path)
{
    return saveTo(getTreeRoot("global"), path, copyUnsharedToDisk);
}
