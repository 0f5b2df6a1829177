# Needs the parameter-file loaders; until they are part of the store the soak
# is simply not built.
if(EXISTS ${PROJECT_SOURCE_DIR}/treekeep/src/loaders.cpp)
  psenv_bench(soak_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/soak_bench.cpp
              DEPS treekeep vartree memalloc)
endif()
