psenv_bench(parfiles_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/parfiles_bench.cpp
            DEPS treekeep vartree errsink)
