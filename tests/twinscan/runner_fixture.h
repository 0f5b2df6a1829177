// The fixture of the tests of experiment programs built from a user's
// sequence file: a parameter file written from name-value pairs, a run of a
// program with its output and status collected, and checks of that output.
#ifndef TWINSCAN_TESTS_RUNNER_FIXTURE_H
#define TWINSCAN_TESTS_RUNNER_FIXTURE_H

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "scratch_dir.h"

struct Outcome {
    int status = -1;
    std::string out, err;
};

inline std::string slurp(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline size_t occurrences(const std::string &text, const std::string &what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// Parameters by name: reals as written ("1e-05 2e-05"), strings quoted.
using Parameters = std::map<std::string, std::string>;

inline Parameters one_pulse()
{
    return {{"array", "\"\""},   {"d1", "1"},       {"pw", "1e-05"},  {"tpwr", "56"},
            {"rof1", "1e-05"},   {"rof2", "4e-06"}, {"alfa", "6e-06"}, {"np", "16384"},
            {"sw", "8000"},      {"oph", "0"},      {"tof", "0"}};
}

inline std::string record(const std::string &name, const std::string &values)
{
    std::istringstream in(values);
    std::vector<std::string> list;
    for (std::string v; in >> v;)
        list.push_back(v);
    bool text = !values.empty() && values[0] == '"';
    if (text)
        list = {values};
    std::string out = name + (text ? " 0 2 0 0 0 1 1 0 1 64\n" : " 0 1 1e+30 -1e+30 0 1 1 0 1 64\n");
    out += std::to_string(list.size());
    for (const std::string &v : list)
        out += (text ? "\n" : " ") + v;
    out += text ? "\n0 \n" : " \n0 \n";
    return out;
}

class Runner : public ::testing::Test {
protected:
    std::filesystem::path parfile(const Parameters &parameters) const
    {
        std::filesystem::path path = dir_ / "exp.par";
        std::ofstream out(path);
        for (const auto &[name, values] : parameters)
            out << record(name, values);
        return path;
    }

    Outcome run(const char *program, const std::string &arguments) const
    {
        std::string command = std::string("'") + program + "' " + arguments + " >'" +
                              (dir_ / "out").string() + "' 2>'" + (dir_ / "err").string() + "'";
        int raw = std::system(command.c_str());
        Outcome outcome;
        outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        outcome.out = slurp(dir_ / "out");
        outcome.err = slurp(dir_ / "err");
        return outcome;
    }

    Outcome one_pulse_run(const Parameters &parameters, const std::string &options = "") const
    {
        return run(ONEPULSE_PROGRAM, options + " '" + parfile(parameters).string() + "'");
    }

    ScratchDir scratch_{"runner_test"};
    std::filesystem::path dir_ = scratch_.path();
};

// Every line on standard error names the program.
inline void expect_prefixed(const std::string &err, const char *program)
{
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);)
        EXPECT_EQ(line.rfind(std::string(program) + ": ", 0), 0u) << line;
}

#endif
