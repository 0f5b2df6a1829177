psenv_bench(sparsamp_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/sparsamp_bench.cpp
            DEPS sparsamp treekeep memalloc)
target_include_directories(sparsamp_bench PRIVATE ${PROJECT_SOURCE_DIR}/sparsamp/src)
