// The one lock around the modules' process-wide state.
//
// The parameter store's trees, the sampling record, the current shim set,
// the error sink's hook and the lock-frequency globals belong to the whole
// process, and the modules take no locks of their own.  Every call of the
// Python module into them holds this lock, taken with the GIL released:
// other Python threads run while a long call (a large file, a large grid)
// works, and no two threads are ever inside a module at once.  Inside the
// lock no Python object may be touched.
#ifndef PSENV_PYTHON_MODULE_LOCK_H
#define PSENV_PYTHON_MODULE_LOCK_H

#include <mutex>

#include <pybind11/pybind11.h>

namespace psenv::python {

std::mutex &module_mutex();

class ModuleLock {
public:
    // Called with the GIL held; gives it up, then waits for the lock.
    ModuleLock() : lock_(module_mutex()) {}
    ModuleLock(const ModuleLock &) = delete;
    ModuleLock &operator=(const ModuleLock &) = delete;

private:
    // Released first, taken back last: the GIL is never awaited while the
    // lock is held, so a thread holding the GIL cannot block the holder.
    pybind11::gil_scoped_release release_;
    std::unique_lock<std::mutex> lock_;
};

}  // namespace psenv::python

#endif
