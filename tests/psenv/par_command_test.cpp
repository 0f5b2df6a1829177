// The psenv par commands end to end, on temporary copies of parameter files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "psenv_runner.h"

namespace {

namespace fs = std::filesystem;

class ParTool : public PsenvRunner {
protected:
    ParTool() : PsenvRunner("par-tool", 0755) {}
    void SetUp() override
    {
        PsenvRunner::SetUp();
        if (IsSkipped())
            return;
        const char *source = std::getenv("PSENV_SOURCE_DIR");
        ASSERT_NE(source, nullptr) << "PSENV_SOURCE_DIR does not reach the tests";
        sample_ = read_path(std::string(source) + "/examples/params/sample.par");
        ASSERT_FALSE(sample_.empty());
        write("sample.par", sample_);
    }

    ToolResult par(std::vector<std::string> args) const
    {
        args.insert(args.begin(), "par");
        return run_psenv(args);
    }

    static std::vector<std::string> lines(const std::string &text)
    {
        std::vector<std::string> out;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            out.push_back(line);
        return out;
    }

    // The row of `name` in a `show` table ("" when absent).
    static std::string row(const std::string &table, const std::string &name)
    {
        for (const std::string &line : lines(table))
            if (line.rfind(name + " ", 0) == 0)
                return line;
        return "";
    }

    std::string sample_;
};

// Records of the small files below, written as the format lays them out.
const char *const kRealA = "alpha 0 1 10 0 0 1 1 0 1 64\n2 1 2 \n0 \n";
const char *const kStrB = "beta 0 2 0 0 0 1 1 0 1 64\n1 \"b\"\n0 \n";
const char *const kRealC = "gamma 0 1 10 0 0 1 1 0 1 64\n1 3 \n0 \n";

// ---- show -------------------------------------------------------------------

TEST_F(ParTool, ShowTabulatesEveryParameterInNameOrder)
{
    const ToolResult r = par({"show", path("sample.par")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto table = lines(r.out);
    ASSERT_EQ(table.size(), 51u);  // header and 50 parameters
    EXPECT_EQ(table[0].rfind("name", 0), 0u);
    for (const char *column : {"type", "values", "enumeration", "limits", "group", "dgroup",
                               "subtype", "active", "prot"})
        EXPECT_NE(table[0].find(column), std::string::npos) << column;
    std::vector<std::string> names;
    for (std::size_t i = 1; i < table.size(); ++i)
        names.push_back(table[i].substr(0, table[i].find(' ')));
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(names.front(), "Console");

    const std::string pw = row(r.out, "pw");
    EXPECT_NE(pw.find(" real "), std::string::npos);
    EXPECT_NE(pw.find("9.5e-06 1e-05 1.05e-05 1.1e-05 1.15e-05"), std::string::npos);
    EXPECT_NE(pw.find("0..0.01 step 1e-08"), std::string::npos);
    EXPECT_NE(row(r.out, "vd").find("0.001 0.002 0.005 0.01 0.02 ... (16 values)"),
              std::string::npos);
    EXPECT_NE(row(r.out, "vd").find(" no "), std::string::npos);  // inactive
    EXPECT_NE(row(r.out, "samplename").find(R"("strychnine \"lot 7\" in CDCl3")"),
              std::string::npos);
    EXPECT_NE(row(r.out, "wexp").find(R"x("wft echo(\"done\\n\")" "pl pscale")x"),
              std::string::npos);
    EXPECT_NE(row(r.out, "text").find(R"("Strychnine, 10 mg in 0.6 ml CDCl"...)"),
              std::string::npos);  // long texts cut, line breaks never printed raw
    EXPECT_NE(row(r.out, "tn").find(R"("H1" "C13" "N15" "P31" "F19")"), std::string::npos);
    EXPECT_NE(row(r.out, "fb").find("2000 4000 10000 20000 40000 100000"), std::string::npos);
    EXPECT_NE(row(r.out, "tpwr").find("parmin[2]..parmax[2] step 1"), std::string::npos);
    EXPECT_NE(row(r.out, "Console").find("0x4001"), std::string::npos);
    EXPECT_NE(row(r.out, "operator").find("0x8000"), std::string::npos);
    EXPECT_EQ(row(r.out, "array").substr(row(r.out, "array").size() - 6), "0x0000");
}

TEST_F(ParTool, ShowOfNamedParametersKeepsTheirOrderAndReportsMissingOnes)
{
    const ToolResult r = par({"show", path("sample.par"), "tpwr", "nope", "d1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: nope: Variable doesn't exist\n");
    const auto table = lines(r.out);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[1].rfind("tpwr ", 0), 0u);
    EXPECT_EQ(table[2].rfind("d1 ", 0), 0u);
    EXPECT_NE(table[2].find("1 2.5 5"), std::string::npos);
}

TEST_F(ParTool, ShowOfFilesThatCannotBeReadFails)
{
    ToolResult r = par({"show", path("missing.par")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + path("missing.par") + ": No such file or directory\n");
    EXPECT_EQ(r.out, "");

    r = par({"show", dir_});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + dir_ + ": Is a directory\n");

    // A bad record: the check's problem, and nothing of the file.
    write("bad.par", std::string(kRealA) + "beta 0 7 0 0 0 1 1 0 1 64\n0 \n0 \n" + kRealC);
    r = par({"show", path("bad.par")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + path("bad.par") +
                         ":4: record 2: 'beta': type 7 is neither 1 (real) nor 2 (string)\n");
    EXPECT_EQ(r.out, "");

    write("empty.par", "");
    r = par({"show", path("empty.par")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(lines(r.out).size(), 1u);  // the header alone
}

// ---- get --------------------------------------------------------------------

TEST_F(ParTool, GetPrintsValuesOnePerLine)
{
    ToolResult r = par({"get", path("sample.par"), "pw"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "9.5e-06\n1e-05\n1.05e-05\n1.1e-05\n1.15e-05\n");
    r = par({"get", path("sample.par"), "pw", "5"});
    EXPECT_EQ(r.out, "1.15e-05\n");
    r = par({"get", path("sample.par"), "sfrq"});
    EXPECT_EQ(r.out, "399.792963751\n");

    // Strings raw: escapes resolved, line breaks kept.
    r = par({"get", path("sample.par"), "wexp"});
    EXPECT_EQ(r.out, "wft echo(\"done\\n\")\npl pscale\n");
    r = par({"get", path("sample.par"), "samplename", "1"});
    EXPECT_EQ(r.out, "strychnine \"lot 7\" in CDCl3\n");
    r = par({"get", path("sample.par"), "text"});
    EXPECT_EQ(r.out, "Strychnine, 10 mg in 0.6 ml CDCl3\nsecond run after shimming\n");
}

TEST_F(ParTool, GetFailuresUseTheStoresWording)
{
    ToolResult r = par({"get", path("sample.par"), "nope"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "psenv: nope: Variable doesn't exist\n");
    for (const char *index : {"0", "6", "-1"}) {
        r = par({"get", path("sample.par"), "pw", index});
        EXPECT_EQ(r.status, 1) << index;
        EXPECT_EQ(r.err, "psenv: pw: Index out-of-bounds\n") << index;
    }
    r = par({"get", path("missing.par"), "pw"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + path("missing.par") + ": No such file or directory\n");
    EXPECT_EQ(par({"get", path("sample.par"), "pw", "x"}).status, 2);
    EXPECT_EQ(par({"get", path("sample.par"), "pw", "99999999999"}).status, 2);
    EXPECT_EQ(par({"get", path("sample.par")}).status, 2);
    EXPECT_EQ(par({"get", path("sample.par"), "pw", "1", "2"}).status, 2);
}

// ---- set --------------------------------------------------------------------

TEST_F(ParTool, SetSavesTheValuesAndKeepsEverythingElse)
{
    ToolResult r = par({"set", path("sample.par"), "tpwr", "60"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    r = par({"set", path("sample.par"), "d1", "0.5", "1.5", "2.5", "3.5"});
    ASSERT_EQ(r.status, 0) << r.err;
    r = par({"set", path("sample.par"), "solvent", "D2O"});
    ASSERT_EQ(r.status, 0) << r.err;
    r = par({"set", path("sample.par"), "samplename", "say \"hi\" \\ bye\\"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(entries(), std::vector<std::string>{"sample.par"});  // no temporary left

    EXPECT_EQ(par({"get", path("sample.par"), "d1"}).out, "0.5\n1.5\n2.5\n3.5\n");
    EXPECT_EQ(par({"get", path("sample.par"), "samplename"}).out, "say \"hi\" \\ bye\\\n");

    write("original.par", sample_);
    r = par({"diff", path("original.par"), path("sample.par")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "~ d1 values: 1 2.5 5 -> 0.5 1.5 2.5 3.5\n"
                     "~ samplename values: \"strychnine \\\"lot 7\\\" in CDCl3\" -> "
                     "\"say \\\"hi\\\" \\\\ bye\\\\\"\n"
                     "~ solvent values: \"CDCl3\" -> \"D2O\"\n"
                     "~ tpwr values: 56 -> 60\n");
}

TEST_F(ParTool, SetFollowsLinksAndKeepsThePermissionBits)
{
    fs::create_directory(path("real"));
    write("real/p.par", kRealA);
    chmod(path("real/p.par").c_str(), 0640);
    fs::create_symlink(path("real/p.par"), path("link.par"));
    const ToolResult r = par({"set", path("link.par"), "alpha", "7"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(path("link.par")));
    EXPECT_EQ(read("real/p.par"), "alpha 0 1 10 0 0 1 1 0 1 64\n1 7 \n0 \n");
    struct stat info {};
    ASSERT_EQ(stat(path("real/p.par").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(path("real")), fs::directory_iterator()), 1);
}

TEST_F(ParTool, SetAddsNewParametersOfTheKindTheValuesSuggest)
{
    ASSERT_EQ(par({"set", path("sample.par"), "ni", "128"}).status, 0);
    ASSERT_EQ(par({"set", path("sample.par"), "pslist", "d1", "2"}).status, 0);
    ToolResult r = par({"show", path("sample.par"), "ni", "pslist"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(row(r.out, "ni").find("ni      real    128 "), std::string::npos) << r.out;
    EXPECT_NE(row(r.out, "pslist").find("string  \"d1\" \"2\""), std::string::npos) << r.out;
    // A new parameter has no limits: anything goes.
    EXPECT_EQ(par({"set", path("sample.par"), "ni", "-1e9"}).status, 0);

    write("original.par", sample_);
    r = par({"diff", path("original.par"), path("sample.par")});
    EXPECT_EQ(r.out, "+ ni\n+ pslist\n");
}

TEST_F(ParTool, SetOfANewNameCreatesItSaysSoAndTakesItsAttributes)
{
    ToolResult r = par({"set", path("sample.par"), "tpwer", "30", "--min", "-16", "--max", "63",
                        "--step", "0.5", "--group", "2", "--prot", "0x4000"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "psenv: created new real parameter 'tpwer'\n");
    r = par({"show", path("sample.par"), "tpwer"});
    EXPECT_EQ(row(r.out, "tpwer"),
              "tpwer  real  30      -            -16..63 step 0.5  2      0       0        yes  "
              "   0x4000");
    r = par({"set", path("sample.par"), "newtext", "a b"});
    EXPECT_EQ(r.err, "psenv: created new string parameter 'newtext'\n");
    // The values are held to the limits and step given.
    for (const auto &[value, message] :
         {std::pair<std::string, std::string>{"64", "psenv: fresh: Value exceeds upper limit (64 > 63)\n"},
          {"1.25", "psenv: fresh: Value violates step size (1.25 is no multiple of 0.5)\n"}}) {
        r = par({"set", path("sample.par"), "fresh", value, "--max", "63", "--step", "0.5"});
        EXPECT_EQ(r.status, 1) << value;
        EXPECT_EQ(r.err, message);
    }
    // The options describe a new parameter only; a text takes no limits.
    const std::string before = read("sample.par");
    r = par({"set", path("sample.par"), "tpwr", "30", "--max", "70"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: tpwr: the file holds this parameter; --min, --max, --step, --group "
                     "and --prot only describe a new one; the file was left unchanged\n");
    r = par({"set", path("sample.par"), "label", "abc", "--min", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: label: a new string parameter takes no --min, --max or --step "
                     "(\"abc\" is no list of numbers); the file was left unchanged\n");
    EXPECT_EQ(read("sample.par"), before);

    for (const std::vector<std::string> &bad :
         {std::vector<std::string>{"--min", "x"}, {"--max", "0x10"}, {"--step", "-1"},
          {"--min", "5", "--max", "1"}, {"--group", "8"}, {"--group", "1.5"}, {"--prot", "0xg"},
          {"--prot", "-1"}, {"--prot", "0x80000000"}, {"--max", "nan"}}) {
        std::vector<std::string> args{"set", path("sample.par"), "other", "1"};
        args.insert(args.end(), bad.begin(), bad.end());
        EXPECT_EQ(par(args).status, 2) << bad[0] << " " << bad[1];
    }
    EXPECT_EQ(read("sample.par"), before);

    // Changing an existing parameter says nothing.
    r = par({"set", path("sample.par"), "tpwer", "31"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

TEST_F(ParTool, SetRefusesWhatTheParameterForbids)
{
    struct Case {
        std::vector<std::string> values;
        const char *name;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"64"}, "dpwr", "psenv: dpwr: Value exceeds upper limit (64 > 63)\n"},
        {{"40", "-17"}, "dpwr", "psenv: dpwr: Value exceeds lower limit (-17 < -16)\n"},
        {{"64"}, "tpwr", "psenv: tpwr: Value exceeds upper limit (64 > 63)\n"},  // via parmax
        {{"-17"}, "tpwr", "psenv: tpwr: Value exceeds lower limit (-17 < -16)\n"},
        {{"31"}, "gain", "psenv: gain: Value violates step size (31 is no multiple of 2)\n"},
        {{"20.05"}, "temp", "psenv: temp: Value violates step size (20.05 is no multiple of 0.1)\n"},
        {{"5000"}, "fb",
         "psenv: fb: Value violates enum type (5000 is not one of 2000 4000 10000 20000 40000 "
         "100000)\n"},
        {{"waltz16", "dipsi"}, "dseq",
         "psenv: dseq: Value violates enum type (\"dipsi\" is not one of \"waltz16\" \"garp1\" "
         "\"mlev16\" \"wurst40\")\n"},
        {{"x"}, "seqfil", "psenv: seqfil: Variable is write protected\n"},
        {{"1"}, "sfrq", "psenv: sfrq: Variable is write protected\n"},
        {{"fast"}, "sw", "psenv: sw: Wrong type (\"fast\" is not a number)\n"},
        {{"nan"}, "lb", "psenv: lb: Wrong type (\"nan\" is not a finite number in range)\n"},
        {{"1", "-inf"}, "lb", "psenv: lb: Wrong type (\"-inf\" is not a finite number in range)\n"},
        {{"1e999"}, "lb", "psenv: lb: Wrong type (\"1e999\" is not a finite number in range)\n"},
        {{" 5"}, "lb", "psenv: lb: Wrong type (\" 5\" is not a number)\n"},
        {{"5 "}, "lb", "psenv: lb: Wrong type (\"5 \" is not a number)\n"},
        // A new parameter does not become a text parameter "nan".
        {{"1", "NaN"}, "fresh", "psenv: fresh: Wrong type (\"NaN\" is not a finite number in range)\n"},
        {{std::string(1023, 'a')}, "dm",
         "psenv: dm: String larger than max length (1023 characters, 1022 at most)\n"},
        {{"1"}, "$x", "psenv: $x: Bad filename (names beginning with $ are never saved)\n"},
        {{"1"}, "2nd", "psenv: 2nd: Bad filename\n"},
    };
    for (const Case &c : cases) {
        std::vector<std::string> args{"set", path("sample.par"), c.name};
        args.insert(args.end(), c.values.begin(), c.values.end());
        const ToolResult r = par(args);
        EXPECT_EQ(r.status, 1) << c.name;
        EXPECT_EQ(r.err, c.message) << c.name;
    }
    EXPECT_EQ(read("sample.par"), sample_);
    EXPECT_EQ(entries(), std::vector<std::string>{"sample.par"});

    // Limits, steps and enumerations that hold are accepted, at the edges too.
    for (const std::vector<std::string> &ok :
         {std::vector<std::string>{"dpwr", "63", "-16"}, {"tpwr", "63"}, {"temp", "20.1"},
          {"tof", "-486.8"}, {"fb", "1e5"}, {"dseq", "garp1", "mlev16"}, {"dm", std::string(1022, 'y')}}) {
        std::vector<std::string> args{"set", path("sample.par")};
        args.insert(args.end(), ok.begin(), ok.end());
        const ToolResult r = par(args);
        EXPECT_EQ(r.status, 0) << ok[0] << ": " << r.err;
    }
    EXPECT_EQ(par({"get", path("sample.par"), "dm"}).out, std::string(1022, 'y') + "\n");
}

TEST_F(ParTool, SetChecksDirectLimitsOnlyWhenMaxExceedsMin)
{
    write("p.par", "free 0 1 0 0 0 1 1 0 1 64\n1 1 \n0 \n"
                   "flat 0 1 5 5 0 1 1 0 1 64\n1 5 \n0 \n"
                   "ind 0 1 1 1 0 1 1 8192 1 64\n1 5 \n0 \n");
    EXPECT_EQ(par({"set", path("p.par"), "free", "-1e6"}).status, 0);
    EXPECT_EQ(par({"set", path("p.par"), "flat", "7"}).status, 0);
    // Indirect limits without parmin/parmax in the file cannot be checked.
    const ToolResult r = par({"set", path("p.par"), "ind", "1e9"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "psenv: ind: limits are positions in parmin/parmax, which the file does "
                     "not hold in full; limits not checked\n");
    EXPECT_EQ(par({"get", path("p.par"), "ind"}).out, "1000000000\n");
}

TEST_F(ParTool, SetLeavesFilesItCannotReadWholeUnchanged)
{
    // A string list cut short: the records before it load, but saving them
    // would lose the rest of the file.
    const std::string cut = std::string(kRealA) + "beta 0 2 0 0 0 1 1 0 1 64\n2 \"b\"\n";
    write("cut.par", cut);
    ToolResult r = par({"set", path("cut.par"), "alpha", "3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + path("cut.par") +
                         ":5: record 2: 'beta': the file ends before value 2 of 2\n"
                         "psenv: " + path("cut.par") +
                         ": the file is damaged; it was left unchanged\n");
    EXPECT_EQ(read("cut.par"), cut);

    // Records whose names a save never writes.
    const std::string dollar = std::string(kRealA) + "$tmp 0 1 0 0 0 1 1 0 1 64\n1 1 \n0 \n";
    write("dollar.par", dollar);
    r = par({"set", path("dollar.par"), "alpha", "3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + path("dollar.par") +
                         ": parameter '$tmp' cannot be saved to a file; the file was left "
                         "unchanged\n");
    EXPECT_EQ(read("dollar.par"), dollar);

    r = par({"set", path("missing.par"), "alpha", "3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + path("missing.par") + ": No such file or directory\n");
    EXPECT_FALSE(fs::exists(path("missing.par")));
}

TEST_F(ParTool, SetIntoADirectoryItCannotWriteFailsWithTheTargetIntact)
{
    fs::create_directory(path("locked"));
    write("locked/p.par", kRealA);
    chmod(path("locked").c_str(), 0555);
    const std::string target = path("locked/p.par");
    // Root writes anywhere: the check runs in a child without privileges.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        // The file is not the caller's to write, and --force cannot help
        // (it is not offered); forced, the directory still refuses the new file.
        const ToolResult r = run_psenv({"par", "set", target, "alpha", "4"});
        const ToolResult forced = run_psenv({"par", "set", target, "alpha", "4", "--force"});
        _exit(r.status == 1 &&
                      r.err == "psenv: " + target +
                                   ": Permission denied (mode 0644; only its owner or root may "
                                   "replace it); it was left unchanged\n" &&
                      forced.status == 1 &&
                      forced.err == "psenv: " + target +
                                        ": cannot save: Permission denied; it was left unchanged\n"
                  ? 0
                  : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    chmod(path("locked").c_str(), 0755);
    EXPECT_EQ(read("locked/p.par"), kRealA);
    EXPECT_EQ(std::distance(fs::directory_iterator(path("locked")), fs::directory_iterator()), 1);
}

// ---- names ------------------------------------------------------------------

TEST_F(ParTool, NamesListsRecordsInFileOrder)
{
    write("p.par", std::string(kRealC) + kStrB + kRealA);
    ToolResult r = par({"names", path("p.par")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "gamma\nbeta\nalpha\n");

    r = par({"names", path("sample.par")});
    EXPECT_EQ(lines(r.out).size(), 50u);
    EXPECT_EQ(lines(r.out).front(), "seqfil");

    write("empty.par", "");
    r = par({"names", path("empty.par")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");

    write("bad.par", std::string(kRealA) + "beta 0 3 0 0 0 1 1 0 1 64\n0 \n0 \n");
    r = par({"names", path("bad.par")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "psenv: " + path("bad.par") +
                         ":4: record 2: 'beta': type 3 is neither 1 (real) nor 2 (string)\n");

    r = par({"names", path("missing.par")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + path("missing.par") + ": No such file or directory\n");
    EXPECT_EQ(par({"names", dir_}).status, 1);
    EXPECT_EQ(par({"names"}).status, 2);
}

// ---- diff -------------------------------------------------------------------

TEST_F(ParTool, DiffIgnoresRecordOrderAndReportsEveryDifference)
{
    write("a.par", std::string(kRealA) + kStrB + kRealC);
    write("b.par", std::string(kRealC) + kRealA + kStrB);
    ToolResult r = par({"diff", path("a.par"), path("b.par")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");

    write("b.par", std::string("alpha 1 1 20 -1 0.5 2 3 16385 0 64\n2 1 2.5 \n2 1 2.5 \n") +
                       "beta 0 1 0 0 0 1 1 0 1 64\n1 7 \n0 \n"
                       "delta 0 1 0 0 0 1 1 0 1 64\n0 \n0 \n");
    r = par({"diff", path("a.par"), path("b.par")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "~ alpha values: 1 2 -> 1 2.5\n"
                     "~ alpha enumeration: (none) -> 1 2.5\n"
                     "~ alpha min: 0 -> -1\n"
                     "~ alpha max: 10 -> 20\n"
                     "~ alpha step: 0 -> 0.5\n"
                     "~ alpha group: 1 -> 2\n"
                     "~ alpha dgroup: 1 -> 3\n"
                     "~ alpha subtype: 0 -> 1\n"
                     "~ alpha active: 1 -> 0\n"
                     "~ alpha prot: 0x0000 -> 0x4001\n"
                     "~ beta type: string -> real\n"
                     "~ beta values: \"b\" -> 7\n"
                     "+ delta\n"
                     "- gamma\n");

    // Trouble is not a difference.
    EXPECT_EQ(par({"diff", path("a.par"), path("missing.par")}).status, 2);
    write("cut.par", std::string(kRealA) + "beta 0 2 0 0 0 1 1 0 1 64\n2 \"b\"\n");
    r = par({"diff", path("a.par"), path("cut.par")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(par({"diff", path("a.par")}).status, 2);
}

// ---- merge ------------------------------------------------------------------

// Destination: one parameter guarded by 0x4000, one plain.
const char *const kDest = "guard 0 1 10 0 0 1 1 16384 1 64\n1 1 \n0 \n"
                          "plain 0 1 10 0 0 1 1 0 1 64\n1 1 \n0 \n";
// Source: new values for both, one marked and one unmarked new parameter.
const char *const kSource = "guard 0 1 10 0 0 1 1 16384 1 64\n1 9 \n0 \n"
                            "plain 0 1 10 0 0 1 1 0 1 64\n1 9 \n0 \n"
                            "marked 0 2 0 0 0 1 1 16388 0 64\n1 \"m\"\n0 \n"
                            "unmarked 0 1 0 0 0 1 1 0 1 64\n1 5 \n0 \n";

TEST_F(ParTool, MergeTakesMarkedRecordsAndSparesGuardedParameters)
{
    write("dest.par", kDest);
    write("src.par", kSource);
    ToolResult r = par({"merge", path("dest.par"), path("src.par")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "+ marked\n"
                     "= guard not taken: protected in DEST (bit 0x4000)\n"
                     "= plain not taken: not marked in SRC (bit 0x4000; --all takes it)\n"
                     "= unmarked not taken: not marked in SRC (bit 0x4000; --all takes it)\n");
    EXPECT_EQ(par({"get", path("dest.par"), "marked"}).out, "m\n");
    EXPECT_NE(row(par({"show", path("dest.par"), "marked"}).out, "marked").find(" no "),
              std::string::npos);  // the file's inactive flag came along

    r = par({"merge", path("dest.par"), path("src.par"), "--all"});
    ASSERT_EQ(r.status, 0) << r.err;
    // marked kept its bit, so it stays; guard is guarded in the destination.
    EXPECT_EQ(r.out, "~ plain values: 1 -> 9\n+ unmarked\n"
                     "= guard not taken: protected in DEST (bit 0x4000)\n"
                     "= marked not taken: protected in DEST (bit 0x4000)\n");
    EXPECT_EQ(par({"get", path("dest.par"), "guard"}).out, "1\n");
    EXPECT_EQ(entries(), (std::vector<std::string>{"dest.par", "sample.par", "src.par"}));
}

TEST_F(ParTool, MergeWithClearBitLetsALaterMergeChangeTheParameter)
{
    write("dest.par", "plain 0 1 10 0 0 1 1 0 1 64\n1 1 \n0 \n");
    write("src.par", kSource);
    ToolResult r = par({"merge", path("dest.par"), path("src.par"), "--clear-bit"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "+ guard\n+ marked\n"
                     "= plain not taken: not marked in SRC (bit 0x4000; --all takes it)\n"
                     "= unmarked not taken: not marked in SRC (bit 0x4000; --all takes it)\n");
    EXPECT_NE(row(par({"show", path("dest.par"), "marked"}).out, "marked").find("0x0004"),
              std::string::npos);

    write("src.par", "marked 0 2 0 0 0 1 1 0 1 64\n1 \"again\"\n0 \n");
    r = par({"merge", path("dest.par"), path("src.par"), "--all"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "~ marked values: \"m\" -> \"again\"\n~ marked active: 0 -> 1\n"
                     "~ marked prot: 0x0004 -> 0x0000\n");
}

TEST_F(ParTool, MergeFailuresLeaveTheDestinationUnchanged)
{
    write("dest.par", kDest);
    ToolResult r = par({"merge", path("dest.par"), path("missing.par")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + path("missing.par") + ": No such file or directory\n"
                     "psenv: " + path("dest.par") + ": not merged; it was left unchanged\n");

    write("src.par", std::string(kSource) + "bad 0 9 0 0 0 1 1 16384 1 64\n0 \n0 \n");
    r = par({"merge", path("dest.par"), path("src.par"), "--all"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + path("src.par") +
                         ":13: record 5: 'bad': type 9 is neither 1 (real) nor 2 (string)\n"
                     "psenv: " + path("dest.par") + ": not merged; it was left unchanged\n");
    EXPECT_EQ(read("dest.par"), kDest);

    r = par({"merge", path("missing.par"), path("src.par")});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(path("missing.par")));
    EXPECT_EQ(entries(), (std::vector<std::string>{"dest.par", "sample.par", "src.par"}));
}

TEST_F(ParTool, MergeWhoseReportCannotBeWrittenSavesNothing)
{
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "needs /dev/full";
    write("dest.par", kDest);
    write("src.par", kSource);
    ToolResult r = run_psenv({"par", "merge", path("dest.par"), path("src.par"), "--all"}, "", {},
                             "/dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: error writing standard output: No space left on device\n"
                     "psenv: " + path("dest.par") + ": not merged; it was left unchanged\n");
    EXPECT_EQ(read("dest.par"), kDest);  // "unchanged" is the truth
    EXPECT_EQ(entries(), (std::vector<std::string>{"dest.par", "sample.par", "src.par"}));
    // Somewhere to write, and it is saved.
    r = par({"merge", path("dest.par"), path("src.par"), "--all"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(read("dest.par"), kDest);
}

TEST_F(ParTool, MergeCountsWhatItDidNotTakeWithQuiet)
{
    write("dest.par", kDest);
    write("src.par", kSource);
    ToolResult r = par({"merge", path("dest.par"), path("src.par"), "--quiet"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "+ marked\n= 3 records not taken (2 not marked in SRC, 1 protected in DEST)\n");
    // Nothing left out, nothing said of it.
    write("dest.par", "plain 0 1 10 0 0 1 1 0 1 64\n1 1 \n0 \n");
    r = par({"merge", path("dest.par"), path("src.par"), "--all", "--quiet"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "+ guard\n+ marked\n~ plain values: 1 -> 9\n+ unmarked\n");
    // A record taken makes a later copy of it meet a protected parameter.
    write("dest.par", kDest);
    write("src.par", std::string("twin 0 1 0 0 0 1 1 16384 1 64\n1 1 \n0 \n") + kRealA +
                         "twin 0 1 0 0 0 1 1 16384 1 64\n1 2 \n0 \n");
    r = par({"merge", path("dest.par"), path("src.par"), "--force"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "+ twin\n"
                     "= alpha not taken: not marked in SRC (bit 0x4000; --all takes it)\n"
                     "= twin (line 7) not taken: protected in DEST (bit 0x4000)\n");
    EXPECT_EQ(par({"get", path("dest.par"), "twin"}).out, "1\n");
}

// ---- damaged, repeated and unreadable files -------------------------------------

// d1 announces 3 values and holds 2: the loader takes the next line's count
// as the third value and reads on without a word.
const char *const kShortD1 = "alpha 0 1 10 0 0 1 1 0 1 64\n2 1 2 \n0 \n"
                             "d1 0 1 0 0 0 1 1 0 1 64\n3 1 2.5 \n0 \n";

TEST_F(ParTool, ReadersShowNothingOfADamagedFileUnlessLenient)
{
    write("short.par", kShortD1);
    const std::string problem =
        "psenv: " + path("short.par") + ":5: record 2: 'd1': the value line holds 2 of the 3 "
        "values announced\n";
    for (const std::vector<std::string> &args :
         {std::vector<std::string>{"show", path("short.par")}, {"get", path("short.par"), "d1"},
          {"get", path("short.par"), "alpha"}, {"names", path("short.par")}}) {
        const ToolResult r = par(args);
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_EQ(r.out, "") << args[0];
        EXPECT_EQ(r.err, problem) << args[0];
    }

    // --lenient: what the loader reads, said to be so, and still status 1.
    const std::string lenient = problem + "psenv: " + path("short.par") +
                                ": the file is damaged; what follows is what the loader reads "
                                "of it (--lenient)\n";
    ToolResult r = par({"show", path("short.par"), "--lenient"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, lenient);
    ASSERT_GE(lines(r.out).size(), 3u);
    EXPECT_EQ(lines(r.out)[0], "(damaged file " + path("short.par") +
                                   ": what the loader reads of it, which may be wrong or "
                                   "incomplete)");
    EXPECT_NE(row(r.out, "d1").find("1 2.5 0 "), std::string::npos) << r.out;
    r = par({"get", path("short.par"), "d1", "--lenient"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "1\n2.5\n0\n");
    EXPECT_EQ(r.err, lenient);
    r = par({"names", "--lenient", path("short.par")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "alpha\nd1\n");
    // A whole file is not marked.
    r = par({"get", path("sample.par"), "d1", "--lenient"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

TEST_F(ParTool, DiffOfACutFileComparesNothing)
{
    // Cut after a count: the loaders see a shorter file, not a damaged one.
    write("a.par", std::string(kRealA) + kStrB + kRealC);
    write("cut.par", std::string(kRealA) + kStrB + "gamma 0 1 10 0 0 1 1 0 1 64\n1 ");
    ToolResult r = par({"diff", path("a.par"), path("cut.par")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "psenv: " + path("cut.par") +
                         ":8: record 3: 'gamma': the file ends before value 1 of 1\n");
    // Both files' problems in one run.
    write("short.par", kShortD1);
    r = par({"diff", path("short.par"), path("cut.par")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(lines(r.err).size(), 2u) << r.err;
}

TEST_F(ParTool, RepeatedRecordsAreReportedAndNotSavedOverWithoutForce)
{
    const std::string first = "d1 0 1 0 0 0 1 1 0 1 64\n1 1 \n0 \n";
    const std::string second = "d1 0 1 0 0 0 1 1 0 1 64\n1 2 \n0 \n";
    const std::string twice = first + kRealA + second;
    const std::string repeat =
        "psenv: " + path("twice.par") +
        ":7: record 3: 'd1': repeats record 1 (line 1); a load keeps only the last of them\n";
    write("twice.par", twice);
    ToolResult r = par({"check", path("twice.par")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, repeat);

    r = par({"set", path("twice.par"), "alpha", "5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, repeat + "psenv: " + path("twice.par") +
                         ": a save would keep only the last record of each repeated name "
                         "(--force saves anyway); it was left unchanged\n");
    EXPECT_EQ(read("twice.par"), twice);
    write("dest.par", kDest);
    r = par({"merge", path("twice.par"), path("dest.par"), "--all"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(read("twice.par"), twice);

    // As the source of a merge: which copy lands depends on order and bits.
    r = par({"merge", path("dest.par"), path("twice.par"), "--all"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, repeat + "psenv: " + path("twice.par") +
                         ": records repeat a name, and which of them ends up in DEST depends "
                         "on their order and bits (--force merges anyway)\n"
                         "psenv: " + path("dest.par") + ": not merged; it was left unchanged\n");
    EXPECT_EQ(read("dest.par"), kDest);
    r = par({"merge", path("dest.par"), path("twice.par"), "--all", "--force"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "+ alpha\n+ d1\n");
    EXPECT_EQ(par({"get", path("dest.par"), "d1"}).out, "2\n");

    // Readers say it and go on with what a load keeps.
    r = par({"get", path("twice.par"), "d1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "2\n");
    EXPECT_EQ(r.err, repeat);

    // Forced, the save keeps the last copy, as the message said.
    r = par({"set", path("twice.par"), "alpha", "5", "--force"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, repeat);
    EXPECT_EQ(par({"check", path("twice.par")}).status, 0);
    EXPECT_EQ(par({"get", path("twice.par"), "d1"}).out, "2\n");
}

TEST_F(ParTool, FilesThatCannotBeReadAreNotCalledDamaged)
{
    write("secret.par", kRealA);
    chmod(path("secret.par").c_str(), 0200);  // writable, not readable
    const std::string target = path("secret.par");
    // Root reads anything: the check runs in a child without privileges.
    ASSERT_EQ(chown(target.c_str(), 65534, 65534), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        const ToolResult set = run_psenv({"par", "set", target, "alpha", "4"});
        const ToolResult show = run_psenv({"par", "show", target});
        const ToolResult check = run_psenv({"par", "check", target});
        const ToolResult diff = run_psenv({"par", "diff", target, target});
        const std::string denied = "psenv: " + target + ": Permission denied\n";
        _exit(set.status == 1 &&
                      set.err == "psenv: " + target +
                                     ": Permission denied; it was left unchanged\n" &&
                      show.status == 1 && show.err == denied && check.status == 2 &&
                      check.err == denied && diff.status == 2 && diff.err == denied + denied
                  ? 0
                  : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    chmod(target.c_str(), 0644);
    EXPECT_EQ(read("secret.par"), kRealA);
}

TEST_F(ParTool, ControlBytesInNamesAreEscapedOnOutput)
{
    // A name that would clear the screen and one with a backslash.
    const std::string evil = "x\x1b[2J";
    write("evil.par", evil + " 0 1 0 0 0 1 1 0 1 64\n1 1 \n0 \n" +
                          "b\\s 0 1 0 0 0 1 1 0 1 64\n1 1 \n0 \n");
    ToolResult r = par({"names", path("evil.par")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "x\\x1b[2J\nb\\\\s\n");
    r = par({"show", path("evil.par")});
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
    EXPECT_NE(row(r.out, "x\\x1b[2J"), "");
    write("other.par", "");
    r = par({"diff", path("evil.par"), path("other.par")});
    EXPECT_EQ(r.out, "- b\\\\s\n- x\\x1b[2J\n");
    r = par({"get", path("evil.par"), evil + "y"});
    EXPECT_EQ(r.err, "psenv: x\\x1b[2Jy: Variable doesn't exist\n");
    write("bad.par", evil + " 0 1 0 0 0 1 1 0 1 64\n1 z \n0 \n");
    r = par({"check", path("bad.par")});
    EXPECT_EQ(r.err, "psenv: " + path("bad.par") +
                         ":2: record 1: 'x\\x1b[2J': value 1 of 1 'z' is not a number\n");
}

TEST_F(ParTool, StoreWordsStandApartFromTheNameHoweverLong)
{
    const std::string longest(250, 'n');
    const ToolResult r = par({"get", path("sample.par"), longest});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "psenv: " + longest + ": Variable doesn't exist\n");
}

TEST_F(ParTool, ParamsFilesThatAreDamagedAreRefusedWithTheirLines)
{
    std::string damaged = sample_;
    const std::size_t shimset = damaged.find("shimset 7 1 20 1 1 0 0 16384 1 64\n1 5 \n");
    ASSERT_NE(shimset, std::string::npos);
    damaged.replace(shimset, 40, "shimset 7 1 20 1 1 0 0 16384 1 64\n2 5 \n");
    write("damaged.par", damaged);
    const ToolResult r = run_psenv({"shims", "list", "--params", path("damaged.par")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "psenv: " + path("damaged.par") +
                         ":11: record 4: 'shimset': the value line holds 1 of the 2 values "
                         "announced\n"
                         "psenv: " + path("damaged.par") +
                         ": the parameter file is damaged; it was not used\n");
    EXPECT_EQ(run_psenv({"shims", "list", "--params", path("sample.par")}).status, 0);
}

// ---- usage ------------------------------------------------------------------

TEST_F(ParTool, EverySubcommandHasHelpAndRefusesBadUsage)
{
    ToolResult r = run_psenv({"par", "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Usage: psenv par show", 0), 0u);
    for (const char *sub : {"show", "get", "set", "names", "diff", "merge", "check"}) {
        r = par({sub, "--help"});
        EXPECT_EQ(r.status, 0) << sub;
        EXPECT_EQ(r.out.rfind(std::string("Usage: psenv par ") + sub, 0), 0u) << sub;
        EXPECT_NE(r.out.find("Exit status"), std::string::npos) << sub;
        r = par({sub, "--bogus", path("sample.par")});
        EXPECT_EQ(r.status, 2) << sub;
        EXPECT_EQ(r.err, std::string("psenv: unknown option '--bogus'\npsenv: Try 'psenv par ") + sub +
                             " --help'.\n")
            << sub;
        EXPECT_EQ(par({sub}).status, 2) << sub;
    }
    r = run_psenv({"par"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "psenv: par: missing subcommand\npsenv: Try 'psenv par --help'.\n");
    EXPECT_EQ(par({"frobnicate"}).status, 2);
    EXPECT_EQ(par({"set", path("sample.par"), "d1"}).status, 2);
    EXPECT_EQ(par({"merge", path("sample.par"), path("sample.par"), "--all=1"}).status, 2);
    // "--" lets values begin with dashes.
    EXPECT_EQ(par({"set", path("sample.par"), "--", "dm", "--x"}).status, 0);
    EXPECT_EQ(par({"get", path("sample.par"), "dm"}).out, "--x\n");
}

}  // namespace
