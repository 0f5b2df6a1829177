// Schedules of the tool's generators, written by its writer and read back by
// the sampling module through a file-based schedule type.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "generators.h"
#include "schedule_writer.h"
#include "scratch_dir.h"
#include "sparsamp.h"
#include "tree_fixture.h"

namespace {

using psenv::plan::Columns;
using psenv::plan::Grid;

class ScheduleFile : public TreeTest {
protected:
    // Reads `path` with the module as a schedule of type "i" or "d".
    static Columns read_with_module(const std::string &path, int dimensions, const char *type)
    {
        make_string(1, "CStype", {type});
        for (int j = 1; j <= dimensions; ++j) {
            const std::string suffix = j == 1 ? "" : std::to_string(j);
            make_real(1, ("ni" + suffix).c_str(), {2.0});
            make_real(1, ("CSdensity" + suffix).c_str(), {100.0});
        }
        EXPECT_EQ(CSinit(0, nullptr), 0);
        std::snprintf(getCSname(), CS_NAME_SIZE, "%s", path.c_str());
        EXPECT_EQ(CSgetSched("."), 0);
        Columns columns(static_cast<std::size_t>(getCSdimension()));
        for (int k = 0; k < getCSdimension(); ++k)
            for (int i = 0; i < getCSnum(); ++i)
                columns[static_cast<std::size_t>(k)].push_back(static_cast<int>(getCSval(k, i)));
        return columns;
    }

    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto &e : std::filesystem::directory_iterator(dir_))
            names.push_back(e.path().filename().string());
        return names;
    }

    ScratchDir scratch_{"sched_plan_test"};
    std::string dir_ = scratch_.path();
};

TEST_F(ScheduleFile, TheModuleReadsMadeSchedulesBack)
{
    const Grid one{{200}};
    const Grid two{{32, 24}};
    const Grid three{{8, 6, 5}};
    const std::vector<std::pair<Grid, std::vector<std::int64_t>>> made = {
        {one, psenv::plan::poisson_gap(one, 50, psenv::plan::GapWeight::Sine, 4)},
        {two, psenv::plan::poisson_gap(two, 200, psenv::plan::GapWeight::None, 4)},
        {two, psenv::plan::exponential(two, 100, {10.0, 8.0}, 4)},
        {three, psenv::plan::poisson_gap(three, 60, psenv::plan::GapWeight::Sine, 4)},
    };
    int n = 0;
    for (const auto &[grid, indices] : made) {
        const Columns columns = psenv::plan::rows_of(grid, indices);
        const std::string path = dir_ + "/s" + std::to_string(++n) + ".sch";
        std::string reason;
        ASSERT_TRUE(psenv::plan::write_schedule_file(path, columns, reason)) << reason;
        EXPECT_EQ(read_with_module(path, grid.dimensions(), n % 2 ? "i" : "d"), columns);
    }
}

TEST_F(ScheduleFile, WritesTheModulesFormat)
{
    EXPECT_EQ(psenv::plan::schedule_text({{0, 3, 12345}, {0, 17, 2}}),
              "0    0    \n3    17   \n12345 2    \n");
    EXPECT_EQ(psenv::plan::rows_of(Grid{{4, 3}}, {0, 5, 11}), (Columns{{0, 1, 3}, {0, 1, 2}}));
}

TEST_F(ScheduleFile, ReplacesTheTargetKeepingItsModeAndLeavesNothingBehind)
{
    const std::string path = dir_ + "/sampling.sch";
    std::ofstream(path) << "old\n";
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    std::string reason;
    ASSERT_TRUE(psenv::plan::write_schedule_file(path, {{0, 1}}, reason)) << reason;
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "0    \n1    \n");
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(), std::vector<std::string>{"sampling.sch"});

    // A directory that does not exist: a failure with the system's reason.
    EXPECT_FALSE(psenv::plan::write_schedule_file(dir_ + "/none/x.sch", {{0}}, reason));
    EXPECT_NE(reason.find("No such file or directory"), std::string::npos) << reason;
    EXPECT_EQ(entries(), std::vector<std::string>{"sampling.sch"});
}

}  // namespace
