// Subcommand groups of psenv.  Each takes the arguments after the group word
// (argv[0] is the group word itself) and returns the process exit status.
#ifndef PSENV_TOOL_COMMANDS_H
#define PSENV_TOOL_COMMANDS_H

namespace psenv {

int cmd_par(int argc, char **argv);     // parameter files
int cmd_sched(int argc, char **argv);   // sparse sampling schedules
int cmd_find(int argc, char **argv);    // application directory search
int cmd_access(int argc, char **argv);  // appdirAccess
int cmd_match(int argc, char **argv);   // wildcard matching
int cmd_link(int argc, char **argv);    // link resolution
int cmd_df(int argc, char **argv);      // free-space tests
int cmd_lock(int argc, char **argv);    // lock frequency
int cmd_shims(int argc, char **argv);   // shim names

}  // namespace psenv

#endif
