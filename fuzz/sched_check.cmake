psenv_fuzzer(sched_check SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/sched_check.cpp
             DEPS psenv_sched_plan sparsamp vartree errsink)
