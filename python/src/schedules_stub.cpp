#include "module_parts.h"
namespace psenv::python {
void add_schedules(pybind11::module_ &) {}
}
