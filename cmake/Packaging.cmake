# Debian packages, one per install component (cmake/ProjectOptions.cmake):
# `cpack -G DEB` from the build folder makes
#   libpsenv<major>  the shared libraries (Runtime),
#   psenv            the programs with manual pages and completion (Tools),
#   libpsenv-dev     headers, link files, CMake package, pkg-config (Development),
#   python3-psenv    the Python package psenv (Python; when the module is built).
# Configure with -DCMAKE_INSTALL_PREFIX=/usr so that the libraries go to the
# multiarch folder, and with -DBUILD_SHARED_LIBS=ON for packages whose
# programs share the libraries (a static build puts the static libraries
# into libpsenv-dev and only the pulse-sequence libraries into the runtime
# package).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME psenv)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "psenv developers <psenv@invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING IGNORE)
# Each package depends on the exact version of the packages its component
# depends on: the libraries' interface may change with any release before 1.0.
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_COMPONENT_TOOLS_DEPENDS Runtime)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS Runtime)
set(CPACK_COMPONENT_PYTHON_DEPENDS Runtime)

# The summary line (the project's description) heads every package's
# description; the component's description follows it.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libpsenv${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
  "The shared libraries of the support system of an NMR spectrometer's
pulse-sequence environment: the parameter store (typed access to parameters
in trees, parameter files), sparse sampling schedules, application-directory
search, lock frequency conversion and shim names, the stand-ins of the
outside components they use, and the pulse-sequence generation libraries
experiment programs run on.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME psenv)
set(CPACK_COMPONENT_TOOLS_DESCRIPTION
  "The programs of the support system of an NMR spectrometer's pulse-sequence
environment: the command-line tool psenv (parameter files, sampling
schedules, application directories, lock frequencies, shim names) and the
dual-receiver experiment program twinscan, with manual pages and bash
completion.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libpsenv-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
  "The development files of the support system of an NMR spectrometer's
pulse-sequence environment: the C headers of its libraries (in
/usr/include/psenv), the links to build against (the static libraries in a
static build), the CMake package psenv with psenv_add_sequence() for one's
own pulse sequences, and the pkg-config files psenv and psenv-psg.")

if(PSENV_PYTHON_FOUND)
  # The compiled part serves one interpreter version (its ABI tag is in the
  # file name): the package depends on that version and on numpy.
  math(EXPR next_minor "${Python_VERSION_MINOR} + 1")
  set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-psenv)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
      "python3 (>= ${Python_VERSION_MAJOR}.${Python_VERSION_MINOR}), python3 (<< ${Python_VERSION_MAJOR}.${next_minor}), python3-numpy")
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SHLIBDEPS ON)
  set(CPACK_COMPONENT_PYTHON_DESCRIPTION
    "The Python package psenv of the support system of an NMR spectrometer's
pulse-sequence environment: parameter files (load, check, change, save and
compare), sparse sampling schedules (make, read, write, check, point-spread
functions and pictures as numpy arrays and SVG), lock frequencies and shim
names, through the same libraries as the psenv program.")
endif()

# Dependencies on system libraries come from dpkg-shlibdeps, which finds the
# packages' own libraries in the runtime package's staging folder; the
# dependency on the runtime package itself is the component dependency
# above.  The shlibs file of the runtime package serves packages built
# against it.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/_CPack_Packages/Linux/DEB/${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-Linux/Runtime${CMAKE_INSTALL_FULL_LIBDIR})
if(BUILD_SHARED_LIBS)
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
endif()
include(CPack)
