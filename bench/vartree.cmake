psenv_bench(vartree_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/vartree_bench.cpp
            DEPS vartree treekeep memalloc)
