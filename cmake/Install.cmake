include(CMakePackageConfigHelpers)

install(EXPORT psenvTargets NAMESPACE psenv::
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/psenv)
configure_package_config_file(cmake/psenvConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/psenvConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/psenv)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/psenvConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/psenvConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/psenvConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/psenv)

# pkg-config: the modules in link order (users first, then what they use).
get_property(PSENV_LIBRARIES GLOBAL PROPERTY PSENV_LIBRARIES)
list(REVERSE PSENV_LIBRARIES)
set(PSENV_PC_LIBS "")
foreach(lib IN LISTS PSENV_LIBRARIES)
  string(APPEND PSENV_PC_LIBS " -l${lib}")
endforeach()
# The prefix is found from the file's own place, so an installation moved
# or made with --prefix still points at its headers and libraries.
file(RELATIVE_PATH PSENV_PC_PREFIX "/root/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/root")
string(REGEX REPLACE "/$" "" PSENV_PC_PREFIX "${PSENV_PC_PREFIX}")
configure_file(cmake/psenv.pc.in ${CMAKE_CURRENT_BINARY_DIR}/psenv.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/psenv.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
