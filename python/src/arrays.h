// numpy arrays handed to Python without copying: the C++ vector that was
// filled (with the GIL released) becomes the array's memory.
#ifndef PSENV_PYTHON_ARRAYS_H
#define PSENV_PYTHON_ARRAYS_H

#include <cstddef>
#include <vector>

#include <pybind11/numpy.h>

namespace psenv::python {

// `data` as an array of `shape`, C order (the last index varies fastest) or
// Fortran order (the first does).  Needs the GIL.
template <typename T>
pybind11::array_t<T> array_of(std::vector<T> &&data, const std::vector<pybind11::ssize_t> &shape,
                              bool fortran = false)
{
    std::vector<pybind11::ssize_t> strides(shape.size());
    pybind11::ssize_t stride = sizeof(T);
    for (std::size_t n = 0; n < shape.size(); ++n) {
        const std::size_t k = fortran ? n : shape.size() - 1 - n;
        strides[k] = stride;
        stride *= shape[k];
    }
    if (data.empty())
        return pybind11::array_t<T>(shape, strides);
    auto *held = new std::vector<T>(std::move(data));
    pybind11::capsule owner(held, [](void *memory) { delete static_cast<std::vector<T> *>(memory); });
    return pybind11::array_t<T>(shape, strides, held->data(), owner);
}

// Rows of a schedule as the Python side passes them: a C-contiguous int32
// array of shape (rows, columns), checked there.
using RowsArray = pybind11::array_t<std::int32_t, pybind11::array::c_style>;

}  // namespace psenv::python

#endif
