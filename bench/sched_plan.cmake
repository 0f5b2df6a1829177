# The planner of the sampling module: point-spread function against a bare
# transform of the same grid, and a large Poisson-gap schedule.
if(PSENV_HAVE_FFTW)
  psenv_bench(sched_plan_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/sched_plan_bench.cpp
              DEPS sparsamp treekeep memalloc)
  target_include_directories(sched_plan_bench PRIVATE ${PROJECT_SOURCE_DIR}/sparsamp/src
                             ${PROJECT_SOURCE_DIR}/sparsamp/src/plan ${PSENV_FFTW3_INCLUDE_DIR})
  target_link_libraries(sched_plan_bench PRIVATE ${PSENV_FFTW3_LIBRARY})
endif()
