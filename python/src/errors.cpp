#include "errors.h"

#include <cstring>

#include "module_lock.h"

namespace py = pybind11;

namespace psenv::python {

std::mutex &module_mutex()
{
    static std::mutex mutex;
    return mutex;
}

namespace {

PyObject *damaged_type = nullptr;
PyObject *refused_type = nullptr;

void raise_file_failure(const FileFailure &failure)
{
    const std::string words = failure.words.empty() ? std::strerror(failure.error) : failure.words;
    py::tuple arguments = py::make_tuple(failure.error, words, failure.path);
    PyErr_SetObject(PyExc_OSError, arguments.ptr());
}

void raise_damaged(const DamagedFile &damaged)
{
    py::list problems;
    for (const Problem &problem : damaged.problems)
        problems.append(py::make_tuple(problem.first, problem.second));
    py::object exception = py::reinterpret_borrow<py::object>(damaged_type)(damaged.what());
    exception.attr("problems") = problems;
    PyErr_SetObject(damaged_type, exception.ptr());
}

}  // namespace

void register_errors(py::module_ &module)
{
    damaged_type = PyErr_NewExceptionWithDoc(
        "psenv.DamagedFile",
        "A parameter file failed the strict check: a ValueError whose `problems`\n"
        "is the list of (line, text) pairs, in file order.",
        PyExc_ValueError, nullptr);
    module.add_object("DamagedFile", py::handle(damaged_type));
    refused_type = PyErr_NewExceptionWithDoc(
        "psenv.SaveRefused",
        "A save of a parameter file was refused or failed (the file is as it was):\n"
        "an OSError whose text says why, in the words of `psenv par set`.",
        PyExc_OSError, nullptr);
    module.add_object("SaveRefused", py::handle(refused_type));
    py::register_exception_translator([](std::exception_ptr thrown) {
        try {
            if (thrown)
                std::rethrow_exception(thrown);
        } catch (const FileFailure &failure) {
            raise_file_failure(failure);
        } catch (const DamagedFile &damaged) {
            raise_damaged(damaged);
        } catch (const SaveRefused &refused) {
            PyErr_SetString(refused_type, refused.what());
        }
    });
}

void warn_all(const std::vector<std::string> &texts, PyObject *category)
{
    for (const std::string &text : texts)
        if (PyErr_WarnEx(category, text.c_str(), 1) != 0)
            throw py::error_already_set();
}

}  // namespace psenv::python
