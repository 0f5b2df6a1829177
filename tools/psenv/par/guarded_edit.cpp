#include "par/guarded_edit.h"

#include <cctype>
#include <cmath>

#include "core/file_problems.h"
#include "core/numbers.h"
#include "par/temporary_cleanup.h"

namespace psenv::par {

Edit::~Edit() { P_editend(edit_); }

int Edit::begin(const std::string &path, bool force, double wait)
{
    const int code = P_editbegin(path.c_str(), force ? P_EDIT_FORCE : 0, wait, &edit_);
    if (edit_ == nullptr) {
        error(path + ": " + P_checkfailure(code, 0));
        return kExitFailure;
    }
    path_ = path;
    print_problems(path, *P_editcheck(edit_));
    if (code != 0) {
        error(P_editmessage(edit_));
        return kExitFailure;
    }
    return kExitOk;
}

int Edit::save(int tree)
{
    // Asked before anything is armed: the handler must never remove a file
    // that stands at the temporary name and is not the save's.
    if (P_editready(edit_) != 0) {
        error(P_editmessage(edit_));
        return kExitFailure;
    }
    const TemporaryCleanup cleanup(P_edittemporary(edit_));
    if (!cleanup.armed()) {
        error(path_ + ": its path is too long to be saved; it was left unchanged");
        return kExitFailure;
    }
    if (P_editsave(edit_, tree) != 0) {
        error(P_editmessage(edit_));
        return kExitFailure;
    }
    return kExitOk;
}

int lock_wait(const Call &call, double &seconds)
{
    // Seconds a second editor waits for the first before it gives up.
    constexpr double kDefaultLockWait = 10.0;
    const std::optional<std::string> text = call.args.get("wait");
    if (!text) {
        seconds = kDefaultLockWait;
        return kExitOk;
    }
    const auto value = parse_real(*text);
    if (!value || !std::isfinite(*value) || *value < 0 || *value > 3600 || text->empty() ||
        std::isspace(static_cast<unsigned char>(text->front())))
        return call.usage("--wait takes seconds from 0 to 3600");
    seconds = *value;
    return kExitOk;
}

}  // namespace psenv::par
