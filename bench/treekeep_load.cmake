psenv_bench(treekeep_load_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/treekeep_load_bench.cpp
            DEPS treekeep vartree memalloc errsink)
target_include_directories(treekeep_load_bench PRIVATE ${PROJECT_SOURCE_DIR}/treekeep/src)
