psenv_fuzzer(lockfreqtab_fuzz SOURCES lockfreqtab_fuzz.cpp DEPS synthcalc)
