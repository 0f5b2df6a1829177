// The strict check of parameter files: whole files pass, every cut and
// damage is found with its line and record.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "scratch_dir.h"
#include "treekeep_files.h"

namespace {

struct ParfileProblem {
    long line;
    long record;
    std::string message;
    bool repeat;
};

struct ParfileRecord {
    std::string name;
    long line;
    long protection;
};

// What P_checkbytes hands out, copied and released.
struct ParfileReport {
    int verdict = P_CHECK_WHOLE;
    std::vector<ParfileProblem> problems;
    std::vector<ParfileRecord> records;

    bool damaged() const { return verdict == P_CHECK_DAMAGED; }
    std::size_t repeats() const
    {
        std::size_t count = 0;
        for (const auto &problem : problems)
            count += problem.repeat ? 1 : 0;
        return count;
    }
};

ParfileReport copied(int verdict, P_filecheck &check)
{
    ParfileReport report;
    report.verdict = verdict;
    for (std::size_t i = 0; i < check.problemCount; ++i)
        report.problems.push_back({check.problems[i].line, check.problems[i].record,
                                   check.problems[i].text, check.problems[i].repeat != 0});
    for (std::size_t i = 0; i < check.recordCount; ++i)
        report.records.push_back(
            {check.records[i].name, check.records[i].line, check.records[i].protection});
    P_freecheck(&check);
    return report;
}

ParfileReport check_parfile_report(std::string_view bytes, bool find_repeats)
{
    P_filecheck check{};
    const int verdict = P_checkbytes(bytes.data(), bytes.size(),
                                     find_repeats ? P_CHECK_FIND_REPEATS : 0, &check);
    return copied(verdict, check);
}

std::vector<ParfileProblem> check_parfile_bytes(std::string_view bytes)
{
    return check_parfile_report(bytes, false).problems;
}

// P_checkfile: false, with `error` in the words P_checkfailure gives, when
// the file cannot be read.
bool check_parfile(const char *path, std::vector<ParfileProblem> &problems, std::string &error)
{
    P_filecheck check{};
    int cause = 0;
    const int verdict = P_checkfile(path, 0, &check, &cause);
    if (verdict < 0) {
        error = P_checkfailure(verdict, cause);
        P_freecheck(&check);
        return false;
    }
    problems = copied(verdict, check).problems;
    return true;
}

// Three records of both kinds, escapes and a line break inside a string.
const std::string kWhole = "alpha 1 1 10 -10 0.5 2 3 16384 1 64\n3 1.5 -2e-07 1e+300 \n2 1.5 3 \n"
                           "beta 0 2 0 0 0 1 2 0 0 64\n2 \"one\"\n\"two\\\"\nlines\\\\\"\n"
                           "2 \"one\" \"x y\" \n"
                           "gamma 0 2 0 0 0 1 2 16384 1 64\n0 0 \n";

std::string messages(const std::vector<ParfileProblem> &problems)
{
    std::string text;
    for (const auto &p : problems)
        text += std::to_string(p.line) + ":" + std::to_string(p.record) + ": " + p.message + "\n";
    return text;
}

TEST(ParfileCheck, WholeFilesPassAndEveryCutIsFoundInItsRecord)
{
    EXPECT_EQ(messages(check_parfile_bytes(kWhole)), "");
    EXPECT_EQ(messages(check_parfile_bytes("")), "");
    const char *source = std::getenv("PSENV_SOURCE_DIR");
    if (source != nullptr) {
        std::ifstream in(std::string(source) + "/examples/params/sample.par");
        std::ostringstream sample;
        sample << in.rdbuf();
        ASSERT_FALSE(sample.str().empty());
        EXPECT_EQ(messages(check_parfile_bytes(sample.str())), "");
    }

    const std::size_t ends[] = {kWhole.find("beta"), kWhole.find("gamma"), kWhole.size()};
    for (std::size_t cut = 1; cut < kWhole.size(); ++cut) {
        SCOPED_TRACE(cut);
        const auto problems = check_parfile_bytes(kWhole.substr(0, cut));
        long record = 1;
        while (cut > ends[record - 1])
            ++record;
        if (cut == ends[0] || cut == ends[1]) {
            EXPECT_EQ(messages(problems), "");
            continue;
        }
        ASSERT_EQ(problems.size(), 1u) << messages(problems);
        EXPECT_EQ(problems[0].record, record);
    }
}

TEST(ParfileCheck, EachKindOfDamageWithItsLineAndRecord)
{
    const std::string ok = "ok 0 1 0 0 0 0 0 0 1 64\n1 5 \n0 \n";
    const struct {
        std::string bytes;
        std::string expected;
    } cases[] = {
        {ok + "h 0 1 0 0 0 0 0 0 1\n", "4:2: 'h': the file ends inside the header (10 of 11 fields)\n"},
        {ok + "v 0 1 0 0 0 0 0 0 1 64\n", "4:2: 'v': the file ends before the value count\n"},
        {ok + "v 0 1 0 0 0 0 0 0 1 64\n3 1 2", "5:2: 'v': the file ends before value 3 of 3\n"},
        {ok + "v 0 1 0 0 0 0 0 0 1 64\n1 2 ",
         "5:2: 'v': the file ends before the enumeration count\n"},
        {ok + "v 0 1 0 0 0 0 0 0 1 64\n1 2 \n0 ",
         "6:2: 'v': the file ends before the line break that ends the record\n"},
        {"s 0 2 0 0 0 0 0 0 1 64\n1 \"open\n\n", "2:1: 's': value 1 of 1 is a string that is never closed\n"},
        {"s 0 2 0 0 0 0 0 0 1 64\n1 \"ends in a backslash\\\"\n0 \n",
         "2:1: 's': value 1 of 1 is a string that is never closed\n"},
        {"s 0 2 0 0 0 0 0 0 1 64\n1 x\"y\"\n0 \n",
         "2:1: 's': value 1 of 1 does not begin with a double quote\n"},
        {"t 0 7 0 0 0 0 0 0 1 64\n1 1 \n0 \n", "1:1: 't': type 7 is neither 1 (real) nor 2 (string)\n"},
        {"c 0 1 0 0 0 0 0 0 1 64\n-1 \n0 \n",
         "2:1: 'c': value count '-1' is not a count from 0 to 32767\n"},
        {"c 0 1 0 0 0 0 0 0 1 64\n40000 \n",
         "2:1: 'c': value count '40000' is not a count from 0 to 32767\n"},
        // Damage that leaves the layout readable: every problem is reported.
        {"n 0 1 x 0 0 0 99999 0 1 zz\n2 1 two \n1 3e \n",
         "1:1: 'n': header field maximum 'x' is not a valid number\n"
         "1:1: 'n': header field dgroup '99999' is not a valid number\n"
         "1:1: 'n': header field trailer 'zz' is not a valid number\n"
         "2:1: 'n': value 2 of 2 'two' is not a number\n"
         "3:1: 'n': enumeration value 1 of 1 '3e' is not a number\n"},
        {"l 0 2 0 0 0 0 0 0 1 64\n1 \"" + std::string(1023, 'x') + "\"\n0 \n" + ok + "j 0 1",
         "2:1: 'l': value 1 of 1 is a string of 1023 characters; at most 1022 are read back\n"
         "7:3: 'j': the file ends inside the header (2 of 11 fields)\n"},
        {"r 0 1 0 0 0 0 0 0 1 64\n0 \n0 r2 0 1 0 0 0 0 0 0 1 64\n0 \n0 \n",
         "3:1: 'r': the record's last line goes on after its enumeration\n"},
        {std::string(256, 'N') + " 0 1 0 0 0 0 0 0 1 64\n0 \n0 \n",
         "1:1: '" + std::string(256, 'N') + "': name of 256 bytes; at most 255 are read back\n"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(messages(check_parfile_bytes(c.bytes)), c.expected) << c.bytes;

    // Forms the loaders read and the writer may produce stay accepted.
    EXPECT_EQ(messages(check_parfile_bytes("i 0 1 inf -inf nan 0 0 0 1 ff\n2 inf -1e-07 \n1 0x1p3 \r\n"
                                           "e 0 2 0 0 0 0 0 0 1 64\n0 1 \"a \\\" b\" \n")),
              "");
}

TEST(ParfileCheck, RepeatedRecordsAreFoundWithTheLinesOfBothWhenAskedFor)
{
    const std::string a = "a 0 1 0 0 0 0 0 16384 1 64\n1 1 \n0 \n";
    const std::string b = "b 0 2 0 0 0 0 0 0 1 64\n1 \"x\"\n0 \n";
    const std::string file = a + b + a + "c 0 1 0 0 0 0 0 0 1 64\n0 \n0 \n" + a;
    // Not damage: without the question the file is whole.
    EXPECT_EQ(messages(check_parfile_bytes(file)), "");
    const auto report = check_parfile_report(file, true);
    // Each copy names the one before it.
    EXPECT_EQ(messages(report.problems),
              "7:3: 'a': repeats record 1 (line 1); a load keeps only the last of them\n"
              "13:5: 'a': repeats record 3 (line 7); a load keeps only the last of them\n");
    EXPECT_FALSE(report.damaged());
    EXPECT_EQ(report.repeats(), 2u);
    ASSERT_EQ(report.records.size(), 5u);
    EXPECT_EQ(report.records[0].name, "a");
    EXPECT_EQ(report.records[0].protection, 16384);
    EXPECT_EQ(report.records[3].name, "c");
    EXPECT_EQ(report.records[3].line, 10);
    for (const auto &problem : report.problems)
        EXPECT_TRUE(problem.repeat);

    // A repeat beside damage: both are told apart.
    const auto damaged = check_parfile_report(a + a + "z 0 1", true);
    EXPECT_EQ(messages(damaged.problems),
              "4:2: 'a': repeats record 1 (line 1); a load keeps only the last of them\n"
              "7:3: 'z': the file ends inside the header (2 of 11 fields)\n");
    EXPECT_TRUE(damaged.damaged());
}

TEST(ParfileCheck, TheLineARecordLeftItsLayoutOnIsBlamedNotWhatFollows)
{
    const std::string ok = "ok 0 1 0 0 0 0 0 0 1 64\n1 5 \n0 \n";
    const std::string next = "d2 0 1 0 0 0 0 0 0 1 64\n1 5 \n0 \n";
    const struct {
        std::string bytes;
        std::string expected;
    } cases[] = {
        // The next line's count becomes the third value, the next name the
        // enumeration count: the value line is at fault.
        {ok + "d1 0 1 0 0 0 0 0 0 1 64\n3 1 2.5 \n0 \n" + next,
         "5:2: 'd1': the value line holds 2 of the 3 values announced\n"},
        {"d1 0 1 0 0 0 0 0 0 1 64\n3 1 2.5 \n0 \n",
         "2:1: 'd1': the value line holds 2 of the 3 values announced\n"},
        {"d1 0 1 0 0 0 0 0 0 1 64\n1 1 2 \n0 \n" + next,
         "2:1: 'd1': the value line holds more than the 1 value announced\n"},
        {"d1 0 1 0 0 0 0 0 0 1\n1 2 \n0 \n" + next,
         "1:1: 'd1': the header line holds 10 of the 11 fields\n"},
        {"d1 0 1 0 0 0 0 0 0 1 64 7\n1 2 \n0 \n" + next,
         "1:1: 'd1': the header line holds more than the 11 fields\n"},
        {"d1 0 1 0 0 0 0 0 0 1 64\n1 1 \n2 1 \n" + next,
         "3:1: 'd1': the enumeration line holds 1 of the 2 values announced\n"},
        // Strings: each further value on a line of its own.
        {"s 0 2 0 0 0 0 0 0 1 64\n3 \"a\"\n\"b\"\n0 \n" + next,
         "3:1: 's': the values end after 2 of the 3 values announced\n"},
        {"s 0 2 0 0 0 0 0 0 1 64\n1 \"a\"\n\"b\"\n0 \n" + next,
         "3:1: 's': more values than the 1 value announced\n"},
        {"s 0 2 0 0 0 0 0 0 1 64\n1 \n0 \n" + next,
         "2:1: 's': the values end after 0 of the 1 value announced\n"},
        // A slip is blamed only for trouble in its record or the next one.
        {"a 0 1 0 0 0 0 0 0 1 64\n2 1\n2 \n0 \n" + ok + ok + "z 0 1 x 0 0 0 0 0 1 64\n0 \n0 \n",
         "11:4: 'z': header field maximum 'x' is not a valid number\n"},
        // Control bytes of a name are escaped, as those of a token.
        {"e\x1b[2J 0 1 0 0 0 0 0 0 1 64\n1 \x07 \n0 \n",
         "2:1: 'e\\x1b[2J': value 1 of 1 '\\x07' is not a number\n"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(messages(check_parfile_bytes(c.bytes)), c.expected) << c.bytes;

    // Lists the reader takes across lines are whole: the layout is only a
    // witness when something else is wrong.
    EXPECT_EQ(messages(check_parfile_bytes("w 0 1 0 0 0\n0 0 0 1 64\n3 1\n2\n3 \n1\n9 \n" +
                                           ok + "t 0 2 0 0 0 0 0 0 1 64\n2\n\"a\" \"b\" 0 \n")),
              "");
}

TEST(ParfileCheck, FilesThatCannotBeReadGiveTheSystemsWords)
{
    const ScratchDir scratch("parfile-check");
    const std::string &dir = scratch.path();
    std::vector<ParfileProblem> problems;
    std::string error;
    EXPECT_FALSE(check_parfile((dir + "/missing").c_str(), problems, error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_FALSE(check_parfile(dir.c_str(), problems, error));
    EXPECT_EQ(error, "Is a directory");
    const std::string fifo = dir + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(check_parfile(fifo.c_str(), problems, error));  // returns, does not wait
    EXPECT_EQ(error, "not a regular file");
    std::ofstream(dir + "/cut") << "a 0 1";
    EXPECT_TRUE(check_parfile((dir + "/cut").c_str(), problems, error));
    EXPECT_EQ(messages(problems), "1:1: 'a': the file ends inside the header (2 of 11 fields)\n");
}

}  // namespace
