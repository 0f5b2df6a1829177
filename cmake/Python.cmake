# The Python module `psenv` (python/): built when an interpreter with numpy,
# its development files and pybind11 are found.  Sets PSENV_PYTHON_FOUND.
option(PSENV_BUILD_PYTHON "Build the Python module when Python 3 (with numpy) and pybind11 are found" ON)
option(PSENV_REQUIRE_PYTHON "Fail configuration when the Python module cannot be built" OFF)
set(PSENV_PYTHON_FOUND FALSE)

# The first python3 on PATH may be one of a user's own interpreters without
# numpy (a version manager's shim); the module is built for the first one
# that imports numpy, which on Debian is the system's /usr/bin/python3, the
# interpreter the Debian package serves.  -DPython_EXECUTABLE=... chooses.
function(psenv_choose_python)
  if(DEFINED Python_EXECUTABLE)
    return()
  endif()
  find_program(path_python NAMES python3 NO_CACHE)
  foreach(candidate IN ITEMS ${path_python} /usr/bin/python3)
    if(NOT EXISTS "${candidate}")
      continue()
    endif()
    execute_process(COMMAND "${candidate}" -c "import numpy"
                    RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
    if(status EQUAL 0)
      set(Python_EXECUTABLE "${candidate}" CACHE FILEPATH "Python interpreter the module is built for")
      return()
    endif()
  endforeach()
endfunction()

if(PSENV_BUILD_PYTHON AND PSENV_BUILD_FUZZ)
  message(STATUS "Fuzz build: the Python module is not built")
elseif(PSENV_BUILD_PYTHON)
  psenv_choose_python()
  find_package(Python 3.9 QUIET COMPONENTS Interpreter Development.Module)
  if(Python_FOUND)
    # pybind11 then uses the interpreter found above.
    find_package(pybind11 2.6 CONFIG QUIET)
  endif()
  set(why "")
  if(NOT Python_FOUND)
    set(why "no Python 3 interpreter with numpy and its development files (python3-dev, python3-numpy)")
  elseif(NOT pybind11_FOUND)
    set(why "pybind11 not found (pybind11-dev)")
  else()
    execute_process(COMMAND "${Python_EXECUTABLE}" -c "import numpy"
                    RESULT_VARIABLE numpy_status OUTPUT_QUIET ERROR_QUIET)
    if(NOT numpy_status EQUAL 0)
      set(why "${Python_EXECUTABLE} cannot import numpy (python3-numpy)")
    endif()
  endif()
  if(why STREQUAL "")
    set(PSENV_PYTHON_FOUND TRUE)
    message(STATUS "Python module: built for ${Python_EXECUTABLE} (${Python_VERSION})")
  elseif(PSENV_REQUIRE_PYTHON)
    message(FATAL_ERROR "Python module cannot be built: ${why}")
  else()
    message(STATUS "Python module not built: ${why}")
  endif()
endif()
