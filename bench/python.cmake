# The Python module against the C calls behind it; the program embeds the
# interpreter, so it needs the interpreter's library too.
if(PSENV_PYTHON_FOUND AND PSENV_HAVE_FFTW)
  find_package(Python QUIET COMPONENTS Interpreter Development.Module Development.Embed)
  if(TARGET pybind11::embed AND TARGET Python::Python)
    psenv_bench(python_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/python_bench.cpp
                DEPS pybind11::embed Python::Python treekeep sparsamp vartree errsink memalloc)
    target_compile_definitions(python_bench PRIVATE PSENV_PYTHON_DIR="${PSENV_PYTHON_BUILD_DIR}")
    add_dependencies(python_bench psenv_python)
  else()
    message(STATUS "The interpreter's library is missing: python_bench is not built")
  endif()
endif()
