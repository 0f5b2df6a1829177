psenv_bench(dirsearch_bench SOURCES dirsearch_bench.cpp DEPS dirsearch)
