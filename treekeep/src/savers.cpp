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
#include <new>
#include <string>
#include <utility>

#include "io_seam.h"
#include "psenv_util/file_replacement.h"
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

// util's file calls, each through the seam in force when it is made, so
// that a test's replacement reaches the save.
const psenv::util::FileCalls &seam_calls()
{
    static const psenv::util::FileCalls calls = [] {
        psenv::util::FileCalls through = psenv::util::system_file_calls();
        through.create = [](const char *path) { return treekeep_io()->open_call(path, "w"); };
        through.flush = [](FILE *stream) { return treekeep_io()->flush_call(stream); };
        through.sync = [](FILE *stream) { return treekeep_io()->sync_call(stream); };
        through.close = [](FILE *stream) { return treekeep_io()->close_call(stream); };
        through.rename = [](const char *from, const char *to) {
            return treekeep_io()->rename_call(from, to);
        };
        through.unlink = [](const char *path) { return treekeep_io()->unlink_call(path); };
        through.lstat = [](const char *path, struct stat *info) {
            return treekeep_io()->lstat_call(path, info);
        };
        through.chown = [](FILE *stream, uid_t owner, gid_t group) {
            return treekeep_io()->chown_call(stream, owner, group);
        };
        through.chmod = [](FILE *stream, mode_t mode) {
            return treekeep_io()->chmod_call(stream, mode);
        };
        return through;
    }();
    return calls;
}

int saveTo(SymbolNode **root, const char *path, int (*walk)(SymbolNode **, FILE *))
{
    if (root == nullptr)
        return P_NOTREE;
    if (path == nullptr || *path == '\0')
        return P_NOFILE;
    psenv::util::ReplacementOptions options;
    try {
        options.temporary = std::string(path) + std::to_string(getpid());
    } catch (const std::bad_alloc &) {
        return P_NOFILE;
    }
    // A symbolic link in the target's place is replaced itself; a device, a
    // pipe or a directory there is not a parameter file to replace.
    options.follow_links = false;
    options.write_special_in_place = false;
    options.calls = &seam_calls();

    psenv::util::FileReplacement file(path, std::move(options));
    if (file.stream() == nullptr)
        return file.target_at_fault() ? P_WRITE : P_NOFILE;
    if (walk(root, file.stream()) != P_OK)
        file.fail(EIO);
    return file.commit() == 0 ? P_OK : P_WRITE;
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
