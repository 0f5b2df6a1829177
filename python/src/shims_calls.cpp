// psenv.shims: the shim module's names of a shim set.
#include <string>
#include <utility>
#include <vector>

#include <pybind11/stl.h>

#include "module_lock.h"
#include "module_parts.h"
#include "shims.h"

namespace py = pybind11;

namespace psenv::python {
namespace {

// Every shim of `set` as (index, name), in index order.
std::vector<std::pair<int, std::string>> shim_names(int set)
{
    if (set < 1 || set > MAX_SHIMSET)
        throw py::value_error("set must be a shim set from 1 to " + std::to_string(MAX_SHIMSET) +
                              ", not " + std::to_string(set));
    std::vector<std::pair<int, std::string>> names;
    ModuleLock lock;
    init_shimnames_by_setnum(set);
    for (unsigned index = 0; index < SHIM_INDEX_COUNT; ++index)
        if (const char *name = get_shimname(index))
            names.emplace_back(static_cast<int>(index), name);
    return names;
}

}  // namespace

void add_shims(py::module_ &module)
{
    module.def("shim_names", &shim_names, py::arg("set"));
}

}  // namespace psenv::python
