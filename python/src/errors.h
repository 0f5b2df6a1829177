// The failures the bound calls report, thrown as C++ exceptions (no Python
// object is needed to throw them, so they may leave a ModuleLock) and turned
// into Python exceptions by the translator of register_errors().
#ifndef PSENV_PYTHON_ERRORS_H
#define PSENV_PYTHON_ERRORS_H

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <pybind11/pybind11.h>

namespace psenv::python {

// A file operation failed: OSError(errno, words, path), which Python makes
// the matching subclass (FileNotFoundError, PermissionError, ...).  `words`
// empty: strerror(errno).
struct FileFailure : std::exception {
    FileFailure(int error, std::string path, std::string words = {})
        : error(error), path(std::move(path)), words(std::move(words)) {}
    const char *what() const noexcept override { return "file failure"; }
    int error;
    std::string path;
    std::string words;
};

// One problem of a file: its line (1-based) and what is wrong.
using Problem = std::pair<long, std::string>;

// A file failed the strict check: psenv.DamagedFile (a ValueError) whose
// `problems` is the list of (line, text).
struct DamagedFile : std::runtime_error {
    DamagedFile(const std::string &message, std::vector<Problem> problems)
        : std::runtime_error(message), problems(std::move(problems)) {}
    std::vector<Problem> problems;
};

// A save of a parameter file was refused or failed (the guarded edit's
// words): psenv.SaveRefused, an OSError.
struct SaveRefused : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Adds psenv.DamagedFile, psenv.SaveRefused to `module` and the translator of the two above.
void register_errors(pybind11::module_ &module);

// Issues each text as a warnings.warn() of `category` (GIL held); an
// exception raised by a warnings filter propagates.
void warn_all(const std::vector<std::string> &texts, PyObject *category = PyExc_UserWarning);

}  // namespace psenv::python

#endif
