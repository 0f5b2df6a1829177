include(CMakePackageConfigHelpers)

# Others may add to what the package installs, from any CMakeLists.txt:
#   set_property(GLOBAL APPEND PROPERTY PSENV_PACKAGE_MODULES <file.cmake>)
#     a CMake file installed beside psenvConfig.cmake and included by it;
#   set_property(GLOBAL APPEND PROPERTY PSENV_PKGCONFIG_FILES <file.pc>)
#     a (configured) pkg-config file installed beside psenv.pc.
get_property(PSENV_PACKAGE_MODULES GLOBAL PROPERTY PSENV_PACKAGE_MODULES)
get_property(PSENV_PKGCONFIG_FILES GLOBAL PROPERTY PSENV_PKGCONFIG_FILES)

install(EXPORT psenvTargets NAMESPACE psenv::
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/psenv COMPONENT Development)
set(PSENV_CONFIG_INCLUDES "")
foreach(module IN LISTS PSENV_PACKAGE_MODULES)
  get_filename_component(module_name ${module} NAME)
  string(APPEND PSENV_CONFIG_INCLUDES "include(\"\${CMAKE_CURRENT_LIST_DIR}/${module_name}\")\n")
endforeach()
configure_package_config_file(cmake/psenvConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/psenvConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/psenv)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/psenvConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/psenvConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/psenvConfigVersion.cmake
              ${PSENV_PACKAGE_MODULES}
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/psenv COMPONENT Development)

# pkg-config: the modules in link order (users first, then what they use).
get_property(PSENV_LIBRARIES GLOBAL PROPERTY PSENV_LIBRARIES)
list(REVERSE PSENV_LIBRARIES)
set(PSENV_PC_LIBS "")
foreach(lib IN LISTS PSENV_LIBRARIES)
  string(APPEND PSENV_PC_LIBS " -l${lib}")
endforeach()
if(PSENV_HAVE_FFTW AND NOT BUILD_SHARED_LIBS)  # static sparsamp: its point-spread functions need FFTW3
  string(APPEND PSENV_PC_LIBS " -lfftw3")
endif()
# The prefix is found from the file's own place, so an installation moved
# or made with --prefix still points at its headers and libraries.
file(RELATIVE_PATH PSENV_PC_PREFIX "/root/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/root")
string(REGEX REPLACE "/$" "" PSENV_PC_PREFIX "${PSENV_PC_PREFIX}")
configure_file(cmake/psenv.pc.in ${CMAKE_CURRENT_BINARY_DIR}/psenv.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/psenv.pc ${PSENV_PKGCONFIG_FILES}
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)

# Manual pages and shell completion, for the programs this build makes.
file(GLOB PSENV_MAN_PAGES ${PROJECT_SOURCE_DIR}/docs/man/*.1)
install(FILES ${PSENV_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT Tools)
file(GLOB PSENV_COMPLETIONS ${PROJECT_SOURCE_DIR}/completion/*.bash)
foreach(script IN LISTS PSENV_COMPLETIONS)
  # bash-completion loads the file named after the command on first use.
  get_filename_component(command ${script} NAME_WE)
  install(FILES ${script} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
          RENAME ${command} COMPONENT Tools)
endforeach()
# The word matching the completions share: each sources it from its own folder.
install(FILES ${PROJECT_SOURCE_DIR}/completion/psenv-complete-words.sh
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT Tools)

# Each module's library and chief-header folder, for scripts/check-exports.
set(PSENV_MODULE_LIST "")
foreach(lib IN LISTS PSENV_LIBRARIES)
  string(APPEND PSENV_MODULE_LIST
    "${lib}\t$<TARGET_FILE:${lib}>\t$<TARGET_PROPERTY:${lib},PSENV_HEADER_DIR>\n")
endforeach()
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/psenv-modules.txt CONTENT "${PSENV_MODULE_LIST}")
