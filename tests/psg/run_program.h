// Running a built experiment program on parameter files made for a test.
#ifndef PSG_TESTS_RUN_PROGRAM_H
#define PSG_TESTS_RUN_PROGRAM_H

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace psgtest {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out, err;
};

inline std::string slurp(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// `program arguments`, its standard output and error kept in `dir`.
inline Outcome run_program(const std::string &program, const std::string &arguments,
                           const fs::path &dir)
{
    std::string command = "'" + program + "' " + arguments + " >'" + (dir / "out").string() +
                          "' 2>'" + (dir / "err").string() + "'";
    int raw = std::system(command.c_str());
    Outcome outcome;
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    outcome.out = slurp(dir / "out");
    outcome.err = slurp(dir / "err");
    return outcome;
}

// A parameter file's text with the values of the real parameter `name`
// replaced by `values` ("1 2"), or a new record of it appended.
inline std::string with_real(std::string text, const std::string &name,
                             const std::string &values)
{
    std::istringstream in(values);
    std::vector<std::string> list;
    for (std::string v; in >> v;)
        list.push_back(v);
    std::string line = std::to_string(list.size());
    for (const std::string &v : list)
        line += " " + v;
    line += " \n";
    const std::string head = name + " 0 1 ";
    size_t at = text.rfind("\n" + head) != std::string::npos ? text.rfind("\n" + head) + 1
                : text.rfind(head, 0) == 0                   ? 0
                                                             : std::string::npos;
    if (at == std::string::npos)
        return text + head + "1e+30 -1e+30 0 1 1 0 1 64\n" + line + "0 \n";
    size_t values_at = text.find('\n', at) + 1;
    size_t values_end = text.find('\n', values_at) + 1;
    return text.replace(values_at, values_end - values_at, line);
}

// The same for a string parameter of one value.
inline std::string with_text(std::string text, const std::string &name, const std::string &value)
{
    const std::string head = name + " 0 2 ";
    size_t at = text.find("\n" + head);
    if (at == std::string::npos && text.rfind(head, 0) != 0)
        return text + head + "0 0 0 1 1 0 1 64\n1 \"" + value + "\"\n0 \n";
    at = at == std::string::npos ? 0 : at + 1;
    size_t values_at = text.find('\n', at) + 1;
    size_t values_end = text.find('\n', values_at) + 1;
    return text.replace(values_at, values_end - values_at, "1 \"" + value + "\"\n");
}

inline size_t occurrences(const std::string &text, const std::string &what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

} // namespace psgtest

#endif
