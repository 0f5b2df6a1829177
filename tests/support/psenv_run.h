// Runs the built psenv tool (path in $PSENV_TOOL) with arguments, an
// optional standard input and extra environment, and collects its output.
// With `stdout_to` (such as "/dev/full") standard output goes to that file
// instead and `out` stays empty.
#ifndef PSENV_TESTS_PSENV_RUN_H
#define PSENV_TESTS_PSENV_RUN_H

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

struct ToolResult {
    int status = -1;  // exit status, -1 when the tool did not exit normally
    std::string out;
    std::string err;
};

inline std::string slurp_and_remove(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    unlink(path.c_str());
    return text.str();
}

inline ToolResult run_psenv(const std::vector<std::string> &args, const std::string &input = "",
                            const std::vector<std::pair<std::string, std::string>> &env = {},
                            const std::string &stdout_to = "")
{
    ToolResult result;
    const char *tool = std::getenv("PSENV_TOOL");
    if (tool == nullptr)
        return result;
    std::string files[3];
    const char *names[3] = {"in", "out", "err"};
    for (int i = 0; i < 3; ++i) {
        std::string pattern = "/tmp/psenv-run-" + std::string(names[i]) + "-XXXXXX";
        const int fd = mkstemp(pattern.data());
        if (fd < 0)
            return result;
        close(fd);
        files[i] = pattern;
    }
    std::ofstream(files[0], std::ios::binary) << input;

    const pid_t child = fork();
    if (child == 0) {
        const int flags[3] = {O_RDONLY, O_WRONLY | O_TRUNC, O_WRONLY | O_TRUNC};
        for (int i = 0; i < 3; ++i) {
            const std::string &file = i == 1 && !stdout_to.empty() ? stdout_to : files[i];
            const int fd = open(file.c_str(), flags[i]);
            if (fd < 0 || dup2(fd, i) < 0)
                _exit(127);
            close(fd);
        }
        for (const auto &[name, value] : env)
            setenv(name.c_str(), value.c_str(), 1);
        std::vector<char *> argv;
        argv.push_back(const_cast<char *>(tool));
        for (const std::string &arg : args)
            argv.push_back(const_cast<char *>(arg.c_str()));
        argv.push_back(nullptr);
        execv(tool, argv.data());
        _exit(127);
    }
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    unlink(files[0].c_str());
    result.out = slurp_and_remove(files[1]);
    result.err = slurp_and_remove(files[2]);
    return result;
}

#endif
