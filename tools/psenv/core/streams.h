// The tool's standard streams: every line on standard error starts with
// "psenv: ", module messages included, and a failed write of the results is
// a failure of the command.
#ifndef PSENV_TOOL_CORE_STREAMS_H
#define PSENV_TOOL_CORE_STREAMS_H

#include <cstdio>
#include <string>

namespace psenv {

// Routes the error sink to standard error with "psenv: " before every line.
void install_prefixed_sink();

// Flushes, checks and closes standard output.  When that fails, says so on
// standard error and returns `trouble`; otherwise returns `status`.
int finish_output(int status, int trouble);

// Flushes standard output: kExitOk, or kExitFailure after saying that it
// failed, with what is left in the buffer dropped (so that it is said once).
int flush_output();

// Lines that a module writes to the standard error stream while this object
// lives are held back and written with the tool's prefix when it ends.  The
// module's text is not changed, only preceded by "psenv: ".
class ModuleStderr {
public:
    ModuleStderr();
    ~ModuleStderr();
    ModuleStderr(const ModuleStderr &) = delete;
    ModuleStderr &operator=(const ModuleStderr &) = delete;

private:
    std::FILE *saved_ = nullptr;
    std::FILE *held_ = nullptr;
    char *text_ = nullptr;
    std::size_t size_ = 0;
};

// `text` line by line, each line preceded by "psenv: ", on standard error.
void write_prefixed(const std::string &text);

// Why `path` cannot be opened for reading (an errno value; EISDIR for a
// directory), or 0.  Opened without blocking, so a FIFO never hangs.
int unreadable(const std::string &path);

}  // namespace psenv

#endif
