# The strict check of parameter files (part of the store, so the fuzzer sees
# its branches through treekeep's coverage) against the loaders.
psenv_fuzzer(parfile_check SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/parfile_check.cpp
             DEPS treekeep vartree memalloc errsink)
