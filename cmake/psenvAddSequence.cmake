# psenv_add_sequence(<name> <sources>...)
#
# Makes the experiment program <name> from a sequence file (C or C++) that
# defines pulsesequence() and whatever else it likes.  The pulse-sequence
# generation library is the program's entry: the program is linked with it
# and its two companions, exports its symbols so that the library finds the
# sequence and the sequence variables the program defines itself, and finds
# the libraries at run time in the installation's library directory.

# Where the installed libraries are: this file lies in <libdir>/cmake/psenv.
if(NOT DEFINED PSENV_SEQUENCE_LIBDIR)
  get_filename_component(PSENV_SEQUENCE_LIBDIR "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
endif()

function(psenv_add_sequence name)
  if(ARGC LESS 2)
    message(FATAL_ERROR "psenv_add_sequence(${name}): no source file given")
  endif()
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE psenv::psg psenv::psgparam psenv::psgacq)
  set_target_properties(${name} PROPERTIES
    ENABLE_EXPORTS ON
    BUILD_RPATH "/ozra/lib"
    INSTALL_RPATH "/ozra/lib;${PSENV_SEQUENCE_LIBDIR}")
endfunction()
