psenv_fuzzer(lockfreq_reader SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/lockfreq_reader.cpp
             DEPS synthcalc hostenv errsink)
