# Parameter files: the loaders, the save/load round trip, the quoted-string
# reader and the token scans against stdio.
foreach(harness param_loaders param_roundtrip rscanf_reader scanner_vs_stdio)
  psenv_fuzzer(${harness} SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${harness}.cpp
               DEPS treekeep vartree memalloc errsink)
  target_include_directories(${harness} PRIVATE ${PROJECT_SOURCE_DIR}/treekeep/src)
endforeach()
