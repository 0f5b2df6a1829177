#include "core/streams.h"

#include <stdio_ext.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/report.h"
#include "errsink.h"
#include "psenv_util/unreadable.h"

namespace psenv {
namespace {

void prefixed_sink(const char *text, void *)
{
    write_prefixed(text);
}

}  // namespace

void write_prefixed(const std::string &text)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = "psenv: " + text.substr(start, end - start);
        if (line.back() != '\n')
            line.push_back('\n');
        std::fputs(line.c_str(), stderr);
        start = end;
    }
}

void install_prefixed_sink()
{
    Werrprintf_set_hook(prefixed_sink, nullptr);
}

namespace {

// Why the results did not all reach standard output, or 0.
int output_failure()
{
    errno = 0;
    const int failure = std::fflush(stdout) != 0 ? errno : 0;
    return failure == 0 && std::ferror(stdout) ? EIO : failure;
}

void say_output_failed(int failure)
{
    error(std::string("error writing standard output: ") + std::strerror(failure));
}

}  // namespace

int finish_output(int status, int trouble)
{
    int failure = output_failure();
    if (std::fclose(stdout) != 0 && failure == 0)
        failure = errno != 0 ? errno : EIO;
    if (failure == 0)
        return status;
    say_output_failed(failure);
    return trouble;
}

int flush_output()
{
    const int failure = output_failure();
    if (failure == 0)
        return kExitOk;
    say_output_failed(failure);
    __fpurge(stdout);
    std::clearerr(stdout);
    return kExitFailure;
}

// The modules print through the process's `stderr` stream; for as long as
// this object lives that stream is one held in memory.
ModuleStderr::ModuleStderr()
{
    std::fflush(stderr);
    held_ = open_memstream(&text_, &size_);
    if (held_ != nullptr) {
        saved_ = stderr;
        stderr = held_;
    }
}

ModuleStderr::~ModuleStderr()
{
    if (held_ == nullptr)
        return;
    stderr = saved_;
    std::fclose(held_);
    if (text_ != nullptr) {
        write_prefixed(std::string(text_, size_));
        std::free(text_);
    }
}

int unreadable(const std::string &path)
{
    return util::unreadable(path.c_str());
}

}  // namespace psenv
