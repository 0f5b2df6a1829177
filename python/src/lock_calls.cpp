// psenv.lock: lock frequencies and synthesizer words through the
// lock-frequency module, with the checks `psenv lock` makes first.
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include <pybind11/stl.h>

#include "errors.h"
#include "hostenv.h"
#include "module_lock.h"
#include "module_parts.h"
#include "synthcalc.h"
#include "treekeep.h"
#include "vartree.h"

namespace py = pybind11;

namespace psenv::python {
namespace {

// Shortest text that reads back as the same double.
std::string real_text(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// systemdir from the argument, else $PSENV_SYSTEMDIR, as `psenv lock` does.
void use_systemdir(const std::optional<std::string> &given)
{
    std::string dir;
    if (given)
        dir = *given;
    else if (const char *from_environment = std::getenv("PSENV_SYSTEMDIR"))
        dir = from_environment;
    if (dir.size() > LOCKFREQTAB_SYSTEMDIR_MAX)
        throw py::value_error("systemdir is longer than " +
                              std::to_string(LOCKFREQTAB_SYSTEMDIR_MAX) +
                              " characters: the lock-frequency table cannot be opened");
    std::memcpy(systemdir, dir.c_str(), dir.size() + 1);
}

// The module reads "Console" from the current tree.
void use_console(const std::string &console)
{
    if (console != "ardel" && console != "quilmar")
        throw py::value_error("console must be 'ardel' or 'quilmar', not '" + console + "'");
    int code = P_creatvar(VARTREE_SYSTEM, "Console", T_STRING);
    if (code == P_OK)
        code = P_setstring(VARTREE_SYSTEM, "Console", console.c_str(), 1);
    if (code != P_OK)
        throw py::value_error("cannot set parameter 'Console': the store answered " + std::to_string(code));
}

// The row for `key`, looked up beforehand as `psenv lock` does, so that a
// missing table, a damaged one and a missing row each raise their own error.
void need_table(int key)
{
    const std::string path = std::string(systemdir) + LOCKFREQTAB_SUFFIX;
    int reason = 0;
    switch (lockfreqtab_find(key, &reason)) {
    case LOCKFREQTAB_ROW_FOUND:
        return;
    case LOCKFREQTAB_NO_TABLE:
        throw FileFailure(reason, path);
    case LOCKFREQTAB_DAMAGED:
        throw py::value_error("'" + path + "': " + LOCKFREQTAB_TABLE_ERROR);
    default:
        throw py::value_error("no row for key " + std::to_string(key) + " in '" + path + "'");
    }
}

// Runs `compute` with the module's abort messages caught.
template <typename Compute>
auto answer(Compute compute)
{
    bgflag = 0;
    hostenv::AbortCatcher aborts;
    const auto result = compute();
    if (!aborts.message().empty())
        throw py::value_error(aborts.message());
    return result;
}

int lock_word(int key, double lockfreq, const std::string &console,
              const std::optional<std::string> &dir)
{
    ModuleLock lock;
    use_systemdir(dir);
    use_console(console);
    const bool ardel = console == "ardel";
    if (ardel)
        need_table(key);
    if (getlkfreqapword_fits(lockfreq, key) == 0)
        throw py::value_error("lockfreq " + real_text(lockfreq) +
                              " gives a synthesizer word outside the 32-bit range");
    return answer([&] { return getlkfreqapword(lockfreq, key); });
}

double lock_freq(int key, int word, const std::string &console,
                 const std::optional<std::string> &dir)
{
    ModuleLock lock;
    use_systemdir(dir);
    use_console(console);
    if (console != "ardel")
        throw py::value_error("the lock frequency of a word needs an ardel console, not '" +
                              console + "'");
    need_table(key);
    return answer([&] { return apvalue2lkfreq(word, key); });
}

double offset(int key, double lockfreq, const std::optional<std::string> &dir)
{
    ModuleLock lock;
    use_systemdir(dir);
    need_table(key);
    return answer([&] { return getlkfreqoffset(key, lockfreq); });
}

}  // namespace

void add_lock(py::module_ &module)
{
    module.def("lock_word", &lock_word, py::arg("key"), py::arg("lockfreq"), py::arg("console"),
               py::arg("systemdir"));
    module.def("lock_freq", &lock_freq, py::arg("key"), py::arg("word"), py::arg("console"),
               py::arg("systemdir"));
    module.def("lock_offset", &offset, py::arg("key"), py::arg("lockfreq"), py::arg("systemdir"));
}

}  // namespace psenv::python
