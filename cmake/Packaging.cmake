# One Debian package with everything an installation holds: `cpack -G DEB`
# from the build folder.  Configure with -DCMAKE_INSTALL_PREFIX=/usr so that
# the libraries go to the multiarch folder, and with -DBUILD_SHARED_LIBS=ON
# for a package whose programs share the libraries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME psenv)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
  "The support system of an NMR spectrometer's pulse-sequence environment: the
dual-receiver experiment program twinscan, the parameter store (typed access
to parameters in trees, parameter files), sparse sampling schedules,
application-directory search, lock frequency conversion and shim names, as C
libraries with their headers, CMake package and pkg-config files, and the
command-line tool psenv with manual pages and bash completion.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "psenv developers <psenv@invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The package's own libraries are found beside each other, not in other
# packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/_CPack_Packages/Linux/DEB/${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-Linux/${CMAKE_INSTALL_LIBDIR})
if(BUILD_SHARED_LIBS)
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
endif()
include(CPack)
