// Which targets an edit may replace at all.  The save makes a new file
// beside the old one and renames it over it; what that would break (a
// FIFO, a file meant to stay read-only, a second name of the file, a user's
// file at the temporary name) is refused before anything is read.
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "parfile_edit.h"

namespace treekeep {
namespace {

std::string nameOf(const std::string &file) { return file.substr(file.rfind('/') + 1); }

// The store's save writes "<file><pid>" first; a process id has at most
// ten digits.  Names are measured against the longest, so that whether a
// file can be edited does not depend on the editor's process id.
constexpr std::size_t kTemporarySuffix = 10;

// Refused when the save's temporary name would be too long for the file
// system, which the save would only find out at its end.
int leavesRoomForTemporary(P_edit &edit)
{
    const std::string &file = edit.file;
    long nameMax = pathconf(directoryOf(file).c_str(), _PC_NAME_MAX);
    if (nameMax <= 0)
        nameMax = NAME_MAX;
    const std::size_t longest = static_cast<std::size_t>(nameMax) > kTemporarySuffix
                                    ? static_cast<std::size_t>(nameMax) - kTemporarySuffix
                                    : 0;
    const std::size_t length = nameOf(file).size();
    if (length > longest)
        return edit.refuse(P_EDIT_NAMETOOLONG,
                           "its file name is " + std::to_string(length) +
                               " bytes long; a save writes the new file first under that name "
                               "followed by up to " +
                               std::to_string(kTemporarySuffix) + " digits, so at most " +
                               std::to_string(longest) +
                               " bytes can be saved here; rename it to a shorter name");
    constexpr std::size_t kLongestPath = PATH_MAX - 1 - kTemporarySuffix;
    if (file.size() > kLongestPath)
        return edit.refuse(P_EDIT_NAMETOOLONG,
                           "its path " + file + " is " + std::to_string(file.size()) +
                               " bytes long; a save writes the new file first under that path "
                               "followed by up to " +
                               std::to_string(kTemporarySuffix) + " digits, so at most " +
                               std::to_string(kLongestPath) +
                               " bytes can be saved; move it to a shorter path");
    return 0;
}

const char *kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return "a file";
    if (S_ISDIR(mode))
        return "a directory";
    if (S_ISLNK(mode))
        return "a symbolic link";
    return "a special file";
}

bool inGroup(gid_t group)
{
    if (getegid() == group)
        return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = getgroups(count, groups.data());
    for (int i = 0; i < got; ++i)
        if (groups[static_cast<std::size_t>(i)] == group)
            return true;
    return false;
}

// Why forcing could not get this file replaced, or empty when it could: the
// save makes a new file in the directory and gives it the old one's owner
// and group, which only root, or the owner who is in the file's group, may.
std::string forceCannotHelp(const std::string &file, const struct stat &info)
{
    if (geteuid() == 0)
        return {};
    if (info.st_uid != geteuid())
        return "only its owner or root may replace it";
    const std::string dir = directoryOf(file);
    if (faccessat(AT_FDCWD, dir.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return "its directory " + dir + " is not writable either";
    if (!inGroup(info.st_gid))
        return "its group is not one of yours, so a new file could not keep it";
    return {};
}

// The advice after a refusal that forcing lifts, where it can.  The words
// are the psenv tool's, whose option --force is.
std::string forceAdvice(const std::string &file, const struct stat &info)
{
    const std::string obstacle = forceCannotHelp(file, info);
    return obstacle.empty() ? "--force replaces it anyway" : obstacle;
}

}  // namespace

std::string directoryOf(const std::string &file)
{
    const auto slash = file.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : file.substr(0, slash);
}

int checkTemporary(P_edit &edit)
{
    const std::string &temporary = edit.temporary;
    struct stat info {};
    if (lstat(temporary.c_str(), &info) == 0)
        return edit.refuse(P_EDIT_TEMPORARY, "a save writes the new file first as " + temporary +
                                                 ", where " + kindOf(info.st_mode) +
                                                 " already stands; rename or remove " +
                                                 temporary + ", then try again");
    if (errno != ENOENT) {
        const int cause = errno;
        return edit.refuse(P_FILE_SYSTEM,
                           "cannot look at " + temporary +
                               ", the name a save writes first: " + std::strerror(cause),
                           cause);
    }
    return 0;
}

int checkTarget(P_edit &edit, bool force)
{
    const std::string &file = edit.file;
    struct stat info {};
    if (stat(file.c_str(), &info) != 0) {
        const int cause = errno;
        return edit.fail(P_FILE_SYSTEM, std::strerror(cause), cause);
    }
    if (S_ISDIR(info.st_mode))
        return edit.fail(P_FILE_NOTREGULAR, std::strerror(EISDIR), EISDIR);
    if (!S_ISREG(info.st_mode))
        return edit.refuse(P_FILE_NOTREGULAR, "not a regular file");
    if (const int code = leavesRoomForTemporary(edit); code != 0)
        return code;
    if (const int code = checkTemporary(edit); code != 0)
        return code;
    if (force)
        return 0;
    // Root may write anything: a file without any write bit is still
    // meant to stay as it is.
    if (geteuid() == 0 ? (info.st_mode & 0222) == 0
                       : faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        return edit.refuse(P_EDIT_READONLY,
                           std::string(std::strerror(EACCES)) + " (mode " + mode + "; " +
                               forceAdvice(file, info) + ")",
                           EACCES);
    }
    if (info.st_nlink > 1)
        return edit.refuse(P_EDIT_HARDLINKED, "it has " + std::to_string(info.st_nlink) +
                                                  " hard links, which replacing it would split (" +
                                                  forceAdvice(file, info) + ")");
    return 0;
}

}  // namespace treekeep
