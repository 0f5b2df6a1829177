psenv_fuzzer(nscmp_equivalence SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/nscmp_equivalence.cpp
             DEPS dirsearch errsink)
target_include_directories(nscmp_equivalence PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
psenv_fuzzer(nscmp_speed SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/nscmp_speed.cpp
             DEPS dirsearch errsink)
