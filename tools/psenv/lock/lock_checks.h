// What `psenv lock` and the Python module ask of the lock-frequency module
// beyond its answers: whether the table serves a key, and the offset the
// module hands to the synthesizer.
#ifndef PSENV_TOOL_LOCK_LOCK_CHECKS_H
#define PSENV_TOOL_LOCK_LOCK_CHECKS_H

#include <string>

namespace psenv {

// Abort messages of the module, caught while an object lives so that a
// table error is reported instead of ending the process.
class AbortCatcher {
public:
    AbortCatcher();
    ~AbortCatcher();
    AbortCatcher(const AbortCatcher &) = delete;
    AbortCatcher &operator=(const AbortCatcher &) = delete;

    const std::string &message() const { return message_; }

private:
    static void keep(const char *text, void *context);
    std::string message_;
};

// Why the table under `systemdir` serves no row for `key`: a table error,
// a table that cannot be opened (`reason` then holds the errno value) or no
// such row.  Empty when it serves one.
std::string lock_table_problem(int key, int &reason);

// The table's path under the current `systemdir`.
std::string lock_table_path();

// The offset the module sends to the synthesizer, put together again from
// the two halves of its double.
double lock_offset(double lockfreq, int key);

}  // namespace psenv

#endif
