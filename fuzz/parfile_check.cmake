# The strict check of parameter files, compiled into the harness so that the
# fuzzer sees its branches, against the loaders.
psenv_fuzzer(parfile_check SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/parfile_check.cpp
             ${PROJECT_SOURCE_DIR}/tools/common/parfile_check.cpp
             DEPS treekeep vartree memalloc errsink)
target_include_directories(parfile_check PRIVATE ${PROJECT_SOURCE_DIR}/tools/common)
