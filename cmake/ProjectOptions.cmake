# Warnings and sanitizers shared by every target of the project.
add_library(psenv_options INTERFACE)
target_compile_options(psenv_options INTERFACE
  -Wall -Wextra -Wpedantic -Werror
  $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor -Wold-style-cast>)

option(PSENV_SANITIZE "Build with address and undefined-behaviour sanitizers" OFF)
if(PSENV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

# psenv_module(<name> SOURCES ... DEPS ...): a static library with its chief
# header in <dir>/include, installed and exported as psenv::<name>.
function(psenv_module name)
  cmake_parse_arguments(M "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${M_SOURCES})
  add_library(psenv::${name} ALIAS ${name})
  target_include_directories(${name} PUBLIC
    $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>
    PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${M_DEPS} PRIVATE $<BUILD_INTERFACE:psenv_options>)
  file(GLOB headers ${CMAKE_CURRENT_SOURCE_DIR}/include/*.h)
  install(TARGETS ${name} EXPORT psenvTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  set_property(GLOBAL APPEND PROPERTY PSENV_LIBRARIES ${name})
endfunction()

# Fuzz builds: every library carries coverage and the sanitizers, so that the
# harnesses see into the code under test.
if(PSENV_BUILD_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
