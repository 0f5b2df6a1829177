psenv_fuzzer(sched_reader SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/sched_reader.cpp
             DEPS sparsamp vartree errsink)
