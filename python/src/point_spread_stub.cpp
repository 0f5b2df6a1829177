#include "module_parts.h"
namespace psenv::python {
void add_point_spread(pybind11::module_ &) {}
}
