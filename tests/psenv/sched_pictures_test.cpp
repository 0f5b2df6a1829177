// The pictures of psenv sched plot, psf --svg and compare --svg, byte for
// byte: each case of pictures/cases.txt draws from the schedules there and
// must give exactly pictures/expected/NAME.svg.  A change of any picture is
// a deliberate one: redraw the expected file and look at it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "psenv_run.h"

namespace {

namespace fs = std::filesystem;

struct PictureCase {
    std::string name;
    std::vector<std::string> args;
};

std::string slurp(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<PictureCase> read_cases(const fs::path &file)
{
    std::vector<PictureCase> cases;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        PictureCase c;
        words >> c.name;
        for (std::string word; words >> word;)
            c.args.push_back(word);
        cases.push_back(c);
    }
    return cases;
}

// The line and offset where two texts part first, for a readable failure.
std::string first_difference(const std::string &got, const std::string &want)
{
    std::size_t at = 0;
    while (at < got.size() && at < want.size() && got[at] == want[at])
        ++at;
    const std::size_t line_start = want.rfind('\n', at == 0 ? 0 : at - 1);
    const std::size_t from = line_start == std::string::npos ? 0 : line_start + 1;
    return "byte " + std::to_string(at) + ", expected line: " +
           want.substr(from, want.find('\n', at) - from) + "\n   drawn line: " +
           got.substr(from, got.find('\n', at) - from);
}

class SchedPictures : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char *source = std::getenv("PSENV_SOURCE_DIR");
        if (std::getenv("PSENV_TOOL") == nullptr || source == nullptr)
            GTEST_SKIP() << "PSENV_TOOL or PSENV_SOURCE_DIR not set";
        data_ = fs::path(source) / "tests/psenv/pictures";
        std::string pattern = (fs::temp_directory_path() / "sched-pictures-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        out_ = pattern;
        // The pictures name the schedules as given: relative to their folder.
        previous_ = fs::current_path();
        fs::current_path(data_);
    }
    void TearDown() override
    {
        if (!previous_.empty())
            fs::current_path(previous_);
        if (!out_.empty())
            fs::remove_all(out_);
    }

    // Draws every case whose command starts with `command` and compares.
    void draw_and_compare(const std::string &command)
    {
        const bool transform = command != "plot";
        if (transform && run_psenv({"sched", "psf", "line.sch", "--ni", "64"}).status == 2)
            GTEST_SKIP() << "built without FFTW3";
        int drawn = 0;
        for (PictureCase c : read_cases(data_ / "cases.txt")) {
            if (c.args.size() < 2 || c.args[1] != command)
                continue;
            const std::string picture = (out_ / (c.name + ".svg")).string();
            for (std::string &arg : c.args)
                if (arg == "OUT")
                    arg = picture;
            const ToolResult r = run_psenv(c.args);
            ASSERT_EQ(r.status, 0) << c.name << ": " << r.err;
            const std::string want = slurp(data_ / "expected" / (c.name + ".svg"));
            ASSERT_FALSE(want.empty()) << c.name << ": no expected picture";
            const std::string got = slurp(picture);
            EXPECT_TRUE(got == want) << c.name << ": " << first_difference(got, want);
            ++drawn;
        }
        EXPECT_GT(drawn, 2) << "too few cases of sched " << command;
    }

    fs::path data_;
    fs::path out_;
    fs::path previous_;
};

TEST_F(SchedPictures, PlotDrawsTheSamePictures)
{
    draw_and_compare("plot");
}

TEST_F(SchedPictures, PsfDrawsTheSamePictures)
{
    draw_and_compare("psf");
}

TEST_F(SchedPictures, CompareDrawsTheSamePictures)
{
    draw_and_compare("compare");
}

}  // namespace
