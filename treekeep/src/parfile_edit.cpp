// The guarded edit of a parameter file: the lock that makes one editor at a
// time read, change and save the files of a directory, the strict check of
// what is about to be rewritten, and the save, which must not take a name
// that something else stands at.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <thread>

#include "parfile_edit.h"
#include "treekeep.h"
#include "treekeep_internal.h"

P_edit::~P_edit()
{
    unlock();
    P_freecheck(&check);
}

int P_edit::refuse(int code, const std::string &why, int cause)
{
    return fail(code, why + "; it was left unchanged", cause);
}

int P_edit::fail(int code, const std::string &why, int cause)
{
    message = path + ": " + why;
    failed = true;
    error = cause;
    return code;
}

void P_edit::succeed()
{
    message.clear();
    failed = false;
    error = 0;
}

void P_edit::unlock()
{
    if (lock >= 0)
        ::close(lock);  // releases the flock
    lock = -1;
    open = false;
}

namespace {

// Takes the lock of the file's directory, waiting at most `wait` seconds.
int lockDirectory(P_edit &edit, double wait)
{
    const std::string dir = treekeep::directoryOf(edit.file);
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        const int cause = errno;
        return edit.refuse(P_FILE_SYSTEM,
                           "cannot lock its directory " + dir + ": " + std::strerror(cause), cause);
    }
    // Measured as elapsed time, so that no wait overflows a deadline.
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            edit.lock = fd;
            return 0;
        }
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK) {
            const int cause = errno;
            ::close(fd);
            return edit.refuse(P_FILE_SYSTEM,
                               "cannot lock its directory " + dir + ": " + std::strerror(cause),
                               cause);
        }
        const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - start;
        if (waited.count() >= wait) {
            ::close(fd);
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, "%g", wait);
            return edit.refuse(P_EDIT_BUSY,
                               std::string("another editor of a file in its directory still "
                                           "holds the lock after ") +
                                   seconds + " s");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// The strict check of the file about to be rewritten, repeats included.
int checkContent(P_edit &edit, bool force)
{
    int cause = 0;
    const int verdict = P_checkfile(edit.file.c_str(), P_CHECK_FIND_REPEATS, &edit.check, &cause);
    if (verdict < 0)
        // Not damage: the file may be whole, the caller just cannot read it.
        return edit.refuse(verdict, P_checkfailure(verdict, cause), cause);
    if (verdict == P_CHECK_DAMAGED)
        return edit.refuse(P_EDIT_DAMAGED, "the file is damaged");
    if (verdict == P_CHECK_REPEATED && !force)
        return edit.refuse(P_EDIT_REPEATED, "a save would keep only the last record of each "
                                            "repeated name (--force saves anyway)");
    return 0;
}

int begin(P_edit &edit, const char *path, bool force, double wait)
{
    char *resolved = realpath(path, nullptr);
    if (resolved == nullptr) {
        const int cause = errno;
        return edit.fail(P_FILE_SYSTEM, std::strerror(cause), cause);
    }
    edit.file = resolved;
    std::free(resolved);
    edit.temporary = edit.file + std::to_string(getpid());
    if (const int code = treekeep::checkTarget(edit, force); code != 0)
        return code;
    if (const int code = lockDirectory(edit, wait); code != 0)
        return code;
    // Looked at again under the lock: the previous editor may have changed
    // what the name holds.
    int code = treekeep::checkTarget(edit, force);
    if (code == 0)
        code = checkContent(edit, force);
    if (code != 0) {
        edit.unlock();
        return code;
    }
    edit.open = true;
    return 0;
}

}  // namespace

extern "C" int P_editbegin(const char *path, int flags, double waitSeconds, P_edit **edit)
{
    if (edit == nullptr)
        return P_FILE_INVALID;
    *edit = nullptr;
    if (path == nullptr)
        return P_FILE_INVALID;
    P_edit *made = new (std::nothrow) P_edit;
    if (made == nullptr)
        return P_FILE_NOMEM;
    *edit = made;
    try {
        made->path = path;
        if (std::isnan(waitSeconds) || waitSeconds < 0)
            return made->fail(P_FILE_INVALID, std::strerror(EINVAL), EINVAL);
        return begin(*made, path, (flags & P_EDIT_FORCE) != 0, waitSeconds);
    } catch (const std::bad_alloc &) {
        made->unlock();
        made->failed = true;
        made->error = ENOMEM;
        made->message.clear();
        return P_FILE_NOMEM;
    }
}

extern "C" const char *P_editfile(const P_edit *edit)
{
    return edit != nullptr ? edit->file.c_str() : "";
}

extern "C" const char *P_edittemporary(const P_edit *edit)
{
    return edit != nullptr ? edit->temporary.c_str() : "";
}

extern "C" const P_filecheck *P_editcheck(const P_edit *edit)
{
    return edit != nullptr ? &edit->check : nullptr;
}

extern "C" const char *P_editmessage(const P_edit *edit)
{
    if (edit == nullptr || !edit->failed)
        return nullptr;
    // Without memory for the words, the system's words for that.
    return edit->message.empty() ? std::strerror(ENOMEM) : edit->message.c_str();
}

extern "C" int P_editerrno(const P_edit *edit)
{
    return edit != nullptr ? edit->error : 0;
}

extern "C" int P_editready(P_edit *edit)
{
    if (edit == nullptr || !edit->open)
        return P_FILE_INVALID;
    try {
        edit->succeed();
        return treekeep::checkTemporary(*edit);
    } catch (const std::bad_alloc &) {
        edit->failed = true;
        edit->error = ENOMEM;
        return P_FILE_NOMEM;
    }
}

extern "C" int P_editsave(P_edit *edit, int tree)
{
    if (const int code = P_editready(edit); code != 0)
        return code;
    errno = 0;
    const int code = P_save(tree, edit->file.c_str());
    const int cause = errno;
    if (code == P_OK)
        return P_OK;
    // The store's code says which step failed; the system's words say why.
    try {
        if (cause != 0) {
            edit->refuse(code, std::string("cannot save: ") + std::strerror(cause), cause);
        } else {
            char words[P_ERR_MESSAGE_MAX + 1];
            wordCode(code, edit->path.c_str(), ": ", words);
            edit->message = words;
            edit->failed = true;
            edit->error = 0;
        }
    } catch (const std::bad_alloc &) {
        edit->message.clear();
        edit->failed = true;
        edit->error = cause;
    }
    return code;
}

extern "C" void P_editend(P_edit *edit)
{
    delete edit;
}
