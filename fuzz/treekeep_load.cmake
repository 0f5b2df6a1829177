psenv_fuzzer(treekeep_load_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/treekeep_load_fuzz.cpp
             DEPS treekeep vartree memalloc errsink)
target_include_directories(treekeep_load_fuzz PRIVATE ${PROJECT_SOURCE_DIR}/treekeep/src)
