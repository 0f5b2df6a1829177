#include "param_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "cli.h"
#include "errsink.h"
#include "par_strict.h"
#include "treekeep.h"

namespace psenv {
namespace {

void collect_message(const char *text, void *context)
{
    static_cast<std::vector<std::string> *>(context)->emplace_back(text);
}

// The store words every open failure "No such file"; the system's text says
// what really went wrong (permission, a link loop, a directory, ...).
bool readable_file(const std::string &path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error(path + ": " + std::strerror(errno));
        return false;
    }
    struct stat info {};
    const int got = fstat(fd, &info);
    const int reason = got != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : 0;
    close(fd);
    if (reason != 0) {
        error(path + ": " + std::strerror(reason));
        return false;
    }
    return true;
}

}  // namespace

bool load_parameter_file(const std::string &path, int tree)
{
    if (!readable_file(path))
        return false;
    // The loaders read a file cut after a count as ending there, and their
    // messages say neither line nor record: the check says both.
    const par::Checked checked = par::check_reported(path, path);
    if (checked.whole == par::Whole::kUnreadable) {
        error(path + ": " + checked.failure);
        return false;
    }
    if (checked.whole == par::Whole::kNo) {
        error(path + ": the parameter file is damaged; it was not used");
        return false;
    }
    std::vector<std::string> messages;
    const werr_hook previous = Werrprintf_set_hook(collect_message, &messages);
    const int code = P_read(tree, path.c_str());
    Werrprintf_set_hook(previous, nullptr);
    for (std::string &message : messages) {
        while (!message.empty() && message.back() == '\n')
            message.pop_back();
        error(path + ": " + message);
    }
    if (code != P_OK) {
        error(store_message(code, path, ": "));
        return false;
    }
    if (messages.empty())
        return true;
    // A file that could not be read whole is not used at all.  It passed the
    // check a moment ago, so it may have been replaced since.
    par::suggest_check(path);
    return false;
}

bool set_text_parameter(const char *name, const std::string &value, int tree)
{
    int code = P_creatvar(tree, name, T_STRING);
    if (code == P_OK)
        code = P_setstring(tree, name, value.c_str(), 1);
    if (code == P_OK)
        return true;
    error(std::string("cannot set parameter '") + name + "': " + store_message(code, "", ""));
    return false;
}

}  // namespace psenv
