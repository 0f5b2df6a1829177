// psenv._core: the compiled part of the Python package.  The package's own
// modules (psenv.params, psenv.sched, psenv.lock, psenv.shims) check the
// arguments and give the names users see; these are their calls into the
// libraries.
#include "errors.h"
#include "module_parts.h"

PYBIND11_MODULE(_core, module)
{
    module.doc() = "The calls of the psenv package into the system's libraries (private).";
    module.attr("__version__") = PSENV_VERSION;
    psenv::python::register_errors(module);
    psenv::python::add_shims(module);
    psenv::python::add_lock(module);
    psenv::python::add_schedules(module);
    psenv::python::add_point_spread(module);
    psenv::python::add_parameters(module);
}
