// How every psenv command fails: it prints its reason through error() or
// usage_error() and returns the exit status.  Every line on standard error
// starts with "psenv: ".
#ifndef PSENV_TOOL_CORE_REPORT_H
#define PSENV_TOOL_CORE_REPORT_H

#include <string>
#include <string_view>

namespace psenv {

// Exit statuses.  Steps of a command that can fail return one of these too:
// kExitOk to go on, anything else to end the command with, the reason
// already reported.
enum ExitCode { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

// "psenv: <text>" on standard error (a newline is added when missing).
void error(std::string_view text);

// Usage error: "psenv: <text>" plus a hint to the --help of `command` (the
// words after "psenv", empty for the program's own); returns kExitUsage.
int usage_error(std::string_view text, std::string_view command);

// Usage error for a refused number: "psenv: <what> '<text>' is not <kind>".
int bad_number(std::string_view what, std::string_view text, std::string_view kind,
               std::string_view command);

// The parameter store's wording of `code` (P_err with the two prefix texts),
// captured from the error sink without its newline, for "psenv: ..." messages.
std::string store_message(int code, std::string_view first, std::string_view second);

}  // namespace psenv

#endif
