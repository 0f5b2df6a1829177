psenv_bench(treekeep_save_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/treekeep_save_bench.cpp
            DEPS treekeep memalloc)
target_include_directories(treekeep_save_bench PRIVATE ${PROJECT_SOURCE_DIR}/treekeep/src)
