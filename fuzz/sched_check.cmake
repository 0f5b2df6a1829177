psenv_fuzzer(sched_check SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/sched_check.cpp
             DEPS sparsamp vartree errsink)
target_include_directories(sched_check PRIVATE ${PROJECT_SOURCE_DIR}/sparsamp/src/plan)
