// The strict reading of schedule files: what the lenient reader passes over.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "schedule_check.h"

namespace {

struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};

psenv::plan::CheckReport check(const std::string &text, const std::vector<int> &ni = {})
{
    std::unique_ptr<std::FILE, FileCloser> file(std::tmpfile());
    std::fputs(text.c_str(), file.get());
    std::rewind(file.get());
    return psenv::plan::check_schedule(file.get(), ni);
}

std::vector<std::string> lines_of(const psenv::plan::CheckReport &report)
{
    std::vector<std::string> out;
    for (const auto &f : report.findings)
        out.push_back(std::to_string(f.line) + ": " + f.text);
    return out;
}

TEST(ScheduleCheck, CleanFilesPass)
{
    auto report = check("0    0    \n1    0    \n# a comment\n3    2    \n", {4, 3});
    EXPECT_TRUE(report.findings.empty()) << testing::PrintToString(lines_of(report));
    EXPECT_EQ(report.rows, 3);
    EXPECT_EQ(report.columns, 2);
    EXPECT_TRUE(report.readable);
    // No line end after the last row is fine.
    EXPECT_TRUE(check("0\n5").findings.empty());
}

TEST(ScheduleCheck, ReportsEveryLeniencyWithItsLine)
{
    const auto report = check("# schedule\n"
                              "0 0\n"
                              "\n"
                              "1\n"
                              "2 1 7\n"
                              "3 x 1\n"
                              "4 1 # note\n"
                              "2 1\n"
                              "9 -1\n",
                              {5, 3});
    EXPECT_EQ(lines_of(report),
              (std::vector<std::string>{
                  "3: blank line: the reader repeats the previous row",
                  "4: 1 of 2 columns: the reader keeps the previous row's entry from the 2nd column on",
                  "5: 3 columns where the first row has 2: the reader ignores the extra ones",
                  "6: 'x' is not an integer: the reader ignores it and the rest of the line",
                  "6: 1 of 2 columns: the reader keeps the previous row's entry from the 2nd column on",
                  "7: '#' is not an integer: the reader ignores it and the rest of the line",
                  "8: repeats the row of line 5",
                  "9: entry 9 of dimension 1 lies outside 0..4",
                  "9: entry -1 of dimension 2 lies outside 0..2",
              }));
    EXPECT_EQ(report.rows, 8);
}

TEST(ScheduleCheck, WithoutTheGridOnlyNegativeAndHugeEntriesAreOutOfRange)
{
    EXPECT_EQ(lines_of(check("0\n-3\n99999999999\n")),
              (std::vector<std::string>{
                  "2: entry -3 of dimension 1 is negative",
                  "3: entry 99999999999 of dimension 1 does not fit 32 bits: the reader clamps it"}));
}

TEST(ScheduleCheck, UnreadableFilesAndLongLines)
{
    auto report = check("\n0\n");
    EXPECT_FALSE(report.readable);
    EXPECT_EQ(lines_of(report), (std::vector<std::string>{
                                    "1: the first row is blank: the module reads no schedule from this file"}));
    report = check("# only comments\n");
    EXPECT_EQ(lines_of(report), (std::vector<std::string>{
                                    "2: no data row: the module reads no schedule from this file"}));
    EXPECT_EQ(lines_of(check("0 1\n", {8})),
              (std::vector<std::string>{"1: 2 columns, but the grid has 1 dimension"}));
    // 300 characters of one row: the reader takes the last 45 as another row.
    report = check("0\n" + std::string(254, ' ') + "1" + std::string(44, ' ') + "\n");
    EXPECT_EQ(report.rows, 3);
    ASSERT_FALSE(report.findings.empty());
    EXPECT_EQ(lines_of(report).front(),
              "2: longer than 255 characters: the reader takes the rest as another row");
}

}  // namespace
