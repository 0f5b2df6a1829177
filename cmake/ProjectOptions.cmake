# Warnings and sanitizers shared by every target of the project.
add_library(psenv_options INTERFACE)
target_compile_options(psenv_options INTERFACE
  -Wall -Wextra -Wpedantic
  $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor -Wold-style-cast>)

# Warnings are errors for the project's own builds (presets, CI), never for
# someone building a release with a compiler we have not met.
option(PSENV_WERROR "Treat compiler warnings as errors" OFF)
if(PSENV_WERROR)
  target_compile_options(psenv_options INTERFACE -Werror)
  # g++ 12 at -O3 reports a false -Wrestrict inside std::string wherever it
  # inlines "literal" + std::string&& (an insertion at the front of a
  # temporary); whether it appears depends on inlining, not on the code, so
  # it stays a warning there.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(psenv_options INTERFACE $<$<COMPILE_LANGUAGE:CXX>:-Wno-error=restrict>)
  endif()
endif()

option(PSENV_SANITIZE "Build with address and undefined-behaviour sanitizers" OFF)
if(PSENV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

# Installed headers live in a folder of their own: names like psg.h or
# errsink.h are too common to sit in /usr/include beside other software's.
# The CMake package and the pkg-config files put this folder on the include
# path, so clients keep writing #include <treekeep.h>.
set(PSENV_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/psenv)

# Every install() names one of three components, which become the Debian
# packages of cmake/Packaging.cmake:
#   Runtime      the shared libraries a program needs to run;
#   Tools        the programs, their manual pages and shell completion;
#   Development  headers, link-time files (.so links, static libraries),
#                the CMake package and the pkg-config files.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME Unassigned)

# The export macro of the chief headers: every module's interface needs it.
add_library(psenv_extern INTERFACE)
target_include_directories(psenv_extern INTERFACE
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
  $<INSTALL_INTERFACE:${PSENV_INSTALL_INCLUDEDIR}>)
install(TARGETS psenv_extern EXPORT psenvTargets COMPONENT Development)
install(FILES ${PROJECT_SOURCE_DIR}/include/psenv_extern.h
        DESTINATION ${PSENV_INSTALL_INCLUDEDIR} COMPONENT Development)

# psenv_module(<name> SOURCES ... DEPS ...): a library with its chief header
# in <dir>/include, installed and exported as psenv::<name>.  Headers named
# *_testing.h hold switches for the tests and are not installed.  Static unless
# BUILD_SHARED_LIBS is on; a shared one exports only what its headers mark
# PSENV_EXTERN, carries the SONAME lib<name>.so.<major> and finds the other
# modules beside itself.
function(psenv_module name)
  cmake_parse_arguments(M "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} ${M_SOURCES})
  add_library(psenv::${name} ALIAS ${name})
  target_include_directories(${name} PUBLIC
    $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>
    $<INSTALL_INTERFACE:${PSENV_INSTALL_INCLUDEDIR}>
    PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC psenv_extern ${M_DEPS}
                        PRIVATE $<BUILD_INTERFACE:psenv_options>)
  set_target_properties(${name} PROPERTIES
    C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    INSTALL_RPATH "$ORIGIN")
  if(BUILD_SHARED_LIBS)
    target_link_options(${name} PRIVATE
      "LINKER:--version-script=${PROJECT_SOURCE_DIR}/cmake/c_interface.map")
    set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/c_interface.map)
  endif()
  set_property(TARGET ${name} PROPERTY PSENV_HEADER_DIR ${CMAKE_CURRENT_SOURCE_DIR}/include)
  file(GLOB headers ${CMAKE_CURRENT_SOURCE_DIR}/include/*.h)
  list(FILTER headers EXCLUDE REGEX "_testing\\.h$")
  install(TARGETS ${name} EXPORT psenvTargets
          ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime
                  NAMELINK_COMPONENT Development)
  install(FILES ${headers} DESTINATION ${PSENV_INSTALL_INCLUDEDIR} COMPONENT Development)
  set_property(GLOBAL APPEND PROPERTY PSENV_LIBRARIES ${name})
endfunction()

# Fuzz builds: every library carries coverage and the sanitizers, so that the
# harnesses see into the code under test.
if(PSENV_BUILD_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
