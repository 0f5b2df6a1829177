#include "module_parts.h"
namespace psenv::python {
void add_parameters(pybind11::module_ &) {}
}
