#include "core/parameter_file.h"

#include <cstring>
#include <vector>

#include "core/file_problems.h"
#include "core/report.h"
#include "core/streams.h"
#include "errsink.h"
#include "treekeep.h"

namespace psenv {
namespace {

void collect_message(const char *text, void *context)
{
    static_cast<std::vector<std::string> *>(context)->emplace_back(text);
}

}  // namespace

int load_parameters(const std::string &path, int tree)
{
    // The store words every open failure "No such file"; the system's text
    // says what really went wrong (permission, a link loop, a directory, ...).
    if (const int reason = unreadable(path); reason != 0) {
        error(path + ": " + std::strerror(reason));
        return kExitFailure;
    }
    // The loaders read a file cut after a count as ending there, and their
    // messages say neither line nor record: the check says both.
    const Checked checked = check_reported(path, path);
    if (checked.whole == Whole::kUnreadable)
        return kExitFailure;
    if (checked.whole == Whole::kNo) {
        error(path + ": the parameter file is damaged; it was not used");
        return kExitFailure;
    }
    int code = P_OK;
    const int messages = with_loader_messages(path, [&] { code = P_read(tree, path.c_str()); });
    if (code != P_OK) {
        error(store_message(code, path, ": "));
        return kExitFailure;
    }
    if (messages == 0)
        return kExitOk;
    // A file that could not be read whole is not used at all.  It passed the
    // check a moment ago, so it may have been replaced since.
    suggest_check(path);
    return kExitFailure;
}

int with_loader_messages(const std::string &path, const std::function<void()> &read)
{
    std::vector<std::string> messages;
    const werr_hook previous = Werrprintf_set_hook(collect_message, &messages);
    read();
    Werrprintf_set_hook(previous, nullptr);
    for (std::string &message : messages) {
        while (!message.empty() && message.back() == '\n')
            message.pop_back();
        error(path + ": " + message);
    }
    return static_cast<int>(messages.size());
}

int set_text_parameter(const char *name, const std::string &value, int tree)
{
    int code = P_creatvar(tree, name, T_STRING);
    if (code == P_OK)
        code = P_setstring(tree, name, value.c_str(), 1);
    if (code == P_OK)
        return kExitOk;
    error(std::string("cannot set parameter '") + name + "': " + store_message(code, "", ""));
    return kExitFailure;
}

}  // namespace psenv
