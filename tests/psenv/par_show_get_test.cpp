// psenv par show, get and names end to end: the commands that only read a
// parameter file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "par_tool.h"

namespace {

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

}  // namespace
