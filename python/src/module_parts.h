// The parts of psenv._core, each adding its functions to the module.
#ifndef PSENV_PYTHON_MODULE_PARTS_H
#define PSENV_PYTHON_MODULE_PARTS_H

#include <pybind11/pybind11.h>

namespace psenv::python {

void add_shims(pybind11::module_ &module);
void add_lock(pybind11::module_ &module);
void add_schedules(pybind11::module_ &module);
void add_point_spread(pybind11::module_ &module);
void add_parameters(pybind11::module_ &module);

}  // namespace psenv::python

#endif
