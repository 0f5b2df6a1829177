#include "par_edit.h"

#include <cctype>
#include <cmath>

#include "cli.h"
#include "par_strict.h"
#include "temporary_cleanup.h"

namespace psenv::par {

Edit::Edit(Edit &&other) noexcept : edit_(other.edit_), path_(std::move(other.path_))
{
    other.edit_ = nullptr;
}

Edit::~Edit() { P_editend(edit_); }

bool Edit::save(int tree)
{
    // Asked before anything is armed: the handler must never remove a file
    // that stands at the temporary name and is not the save's.
    if (P_editready(edit_) != 0) {
        error(P_editmessage(edit_));
        return false;
    }
    const TemporaryCleanup cleanup(P_edittemporary(edit_));
    if (!cleanup.armed()) {
        error(path_ + ": its path is too long to be saved; it was left unchanged");
        return false;
    }
    if (P_editsave(edit_, tree) != 0) {
        error(P_editmessage(edit_));
        return false;
    }
    return true;
}

std::optional<Edit> begin_edit(const std::string &path, bool force, double wait)
{
    P_edit *handle = nullptr;
    const int code = P_editbegin(path.c_str(), force ? P_EDIT_FORCE : 0, wait, &handle);
    if (handle == nullptr) {
        error(path + ": " + P_checkfailure(code, 0));
        return std::nullopt;
    }
    Edit edit(handle, path);
    print_problems(path, *P_editcheck(handle));
    if (code != 0) {
        error(P_editmessage(handle));
        return std::nullopt;
    }
    return edit;
}

std::optional<double> lock_wait(const std::optional<std::string> &text)
{
    if (!text)
        return kDefaultLockWait;
    const auto value = parse_real(*text);
    if (!value || !std::isfinite(*value) || *value < 0 || *value > 3600 || text->empty() ||
        std::isspace(static_cast<unsigned char>(text->front())))
        return std::nullopt;
    return value;
}

}  // namespace psenv::par
