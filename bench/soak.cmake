psenv_bench(soak_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/soak_bench.cpp
            DEPS treekeep vartree memalloc)
