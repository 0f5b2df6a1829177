// The command table's machinery (tools/psenv/core/command.h) on a table of
// its own: the help made from the entries, the option parser, and the way
// a command line finds its command.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/command.h"

namespace psenv {
namespace {

// What the last run function saw.
std::vector<std::string> seen;

int record(const Call &call)
{
    seen = call.args.operands;
    seen.insert(seen.begin(), std::string(call.command));
    for (const auto &[name, value] : call.args.options)
        seen.push_back("--" + name + "=" + value);
    return 7;
}

constexpr Option kCopyOptions[] = {
    {"force", "", "replace it even\nwhen it is read-only"},
    {"wait", "SECONDS", "wait this long"},
    {"min", "X", "its limits", "--min X, --max X"},
    {"max", "X"},
    {.name = "ni", .value = "N", .help = "increments of dimension J",
     .numbered = Numbered::kAfterBare},
    {.name = "sw", .value = "S", .numbered = Numbered::kFromOne},
};

constexpr Command kCopy{
    .name = "copy",
    .summary = "copy a file,\nkeeping its mode",
    .usage = "SRC DEST [--force]\n"
             "                       [--wait SECONDS]\n"
             "SRC... DIR",
    .options = kCopyOptions,
    .help = "Copies.\n\n{options min max}\nThen:\n{options}\n\nThe end.",
    .option_column = 12,
    .run = record,
    .answers_with_1 = true,
};

constexpr Command kMove{
    .name = "move",
    .summary = "move a file",
    .usage = "A B",
    .usage_in_group = "[options]",
    .help = "Moves.",
    .run = record,
};

constexpr CommandNode kFileCommands[] = {{&kCopy}, {&kMove}};

constexpr Command kFile{
    .name = "file",
    .summary = "files",
    .help = "Files.\n\n{commands}",
};

constexpr Option kTurnOptions[] = {{"speed", "S", "how fast"}};
constexpr Command kLeft{
    .name = "left", .summary = "turn left", .usage = "  --speed S", .run = record};
constexpr Command kRight{
    .name = "right", .summary = "turn right", .usage = "--speed S", .run = record};
constexpr CommandNode kTurns[] = {{&kLeft}, {&kRight}};

constexpr Command kTurn{
    .name = "turn",
    .summary = "turn",
    .options = kTurnOptions,
    .help = "{commands}\n\n{options}",
    .command_column = 10,
    .operation_among_operands = true,
};

constexpr CommandNode kTop[] = {{&kFile, kFileCommands}, {&kTurn, kTurns}};
constexpr Command kRoot{.name = "psenv", .usage = "<command>", .help = "Commands:\n{commands}"};
constexpr CommandNode kRootNode{&kRoot, kTop};

struct Outcome {
    int status;
    std::string out;
    std::string err;
    std::string reached;
};

Outcome run(std::vector<std::string> words)
{
    words.insert(words.begin(), "psenv");
    std::vector<char *> argv;
    for (std::string &word : words)
        argv.push_back(word.data());
    seen.clear();
    const Command *reached = nullptr;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int status = dispatch(kRootNode, static_cast<int>(argv.size()), argv.data(), reached);
    std::fflush(stdout);
    Outcome outcome{status, testing::internal::GetCapturedStdout(),
                    testing::internal::GetCapturedStderr(), ""};
    if (reached != nullptr)
        outcome.reached =
            std::string(reached->name) + (reached->answers_with_1 ? " (1 answers)" : "");
    return outcome;
}

TEST(CommandTable, HelpComesFromTheEntries)
{
    EXPECT_EQ(help_text(kFileCommands[0], "file copy"),
              "Usage: psenv file copy SRC DEST [--force]\n"
              "                       [--wait SECONDS]\n"
              "       psenv file copy SRC... DIR\n"
              "\n"
              "Copies.\n"
              "\n"
              "  --min X, --max X  its limits\n"
              "Then:\n"
              "  --force   replace it even\n"
              "            when it is read-only\n"
              "  --wait SECONDS  wait this long\n"
              "  --niJ N   increments of dimension J\n"
              "\n"
              "The end.\n");
    // A group lists its subcommands' forms (or the one they give for it) and
    // their summaries, two blanks after the longest name.
    EXPECT_EQ(help_text(kTop[0], "file"),
              "Usage: psenv file copy SRC DEST [--force]\n"
              "                       [--wait SECONDS]\n"
              "       psenv file copy SRC... DIR\n"
              "       psenv file move [options]\n"
              "\n"
              "Files.\n"
              "\n"
              "  copy  copy a file,\n"
              "        keeping its mode\n"
              "  move  move a file\n");
    // An operation's form starts with its blanks: they line it up.
    EXPECT_EQ(help_text(kTop[1], "turn"),
              "Usage: psenv turn left   --speed S\n"
              "       psenv turn right --speed S\n"
              "\n"
              "  left    turn left\n"
              "  right   turn right\n"
              "\n"
              "  --speed S  how fast\n");
}

TEST(CommandTable, OptionsAreParsedAgainstTheEntry)
{
    Outcome r = run({"file", "copy", "a", "--wait=3", "--force", "--", "--min", "b"});
    EXPECT_EQ(r.status, 7);
    EXPECT_EQ(seen, (std::vector<std::string>{"file copy", "a", "--min", "b", "--wait=3",
                                              "--force="}));
    EXPECT_EQ(r.reached, "copy (1 answers)");
    // Numbered options take their name alone and the suffixes 2 to 10, or
    // only the suffixes 1 to 10, and nothing else.
    r = run({"file", "copy", "--ni", "1", "--ni2", "2", "--ni10", "3", "--sw1", "4", "--sw10=5"});
    EXPECT_EQ(r.status, 7);
    EXPECT_EQ(seen, (std::vector<std::string>{"file copy", "--ni=1", "--ni2=2", "--ni10=3",
                                              "--sw1=4", "--sw10=5"}));
    for (const char *bad : {"--ni1", "--ni11", "--ni02", "--ni+2", "--niJ", "--sw", "--sw0",
                            "--sw11"}) {
        r = run({"file", "copy", bad, "5"});
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_EQ(r.err, "psenv: unknown option '" + std::string(bad) +
                             "'\npsenv: Try 'psenv file copy --help'.\n");
    }
    r = run({"file", "copy", "--wait"});
    EXPECT_EQ(r.err,
              "psenv: option '--wait' needs a value\npsenv: Try 'psenv file copy --help'.\n");
    r = run({"file", "copy", "--force=yes"});
    EXPECT_EQ(r.err,
              "psenv: option '--force' takes no value\npsenv: Try 'psenv file copy --help'.\n");
    // --help wins over whatever else the line holds, and nothing runs.
    r = run({"file", "copy", "x", "--help", "--wait", "1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, help_text(kFileCommands[0], "file copy"));
    EXPECT_TRUE(seen.empty());
}

TEST(CommandTable, GroupsNameTheirSubcommandFirst)
{
    Outcome r = run({"file"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "psenv: file: missing subcommand\npsenv: Try 'psenv file --help'.\n");
    r = run({"file", "--force", "copy"});
    EXPECT_EQ(r.err,
              "psenv: file: unknown subcommand '--force'\npsenv: Try 'psenv file --help'.\n");
    for (const char *ask : {"--help", "-h"}) {
        r = run({"file", ask});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, help_text(kTop[0], "file"));
    }
    r = run({});
    EXPECT_EQ(r.err, "psenv: missing command\npsenv: Try 'psenv --help'.\n");
    r = run({"files"});
    EXPECT_EQ(r.err, "psenv: unknown command 'files'\npsenv: Try 'psenv --help'.\n");
    r = run({"help"});
    EXPECT_EQ(r.out, "Usage: psenv <command>\n\nCommands:\n  file  files\n  turn  turn\n");
    EXPECT_EQ(r.reached, "psenv");
}

TEST(CommandTable, AnOperationStandsAnywhereAmongTheOperands)
{
    for (const auto &words : std::vector<std::vector<std::string>>{
             {"turn", "left", "--speed", "2", "x"},
             {"turn", "--speed", "2", "left", "x"},
             {"turn", "--speed=2", "--", "left", "x"}}) {
        const Outcome r = run(words);
        EXPECT_EQ(r.status, 7);
        EXPECT_EQ(seen, (std::vector<std::string>{"turn", "x", "--speed=2"}));
        EXPECT_EQ(r.reached, "left");
    }
    Outcome r = run({"turn", "--speed", "2"});
    EXPECT_EQ(r.err, "psenv: turn: missing operation (left or right)\n"
                     "psenv: Try 'psenv turn --help'.\n");
    r = run({"turn", "-h"});
    EXPECT_EQ(r.err,
              "psenv: turn: unknown operation '-h'\npsenv: Try 'psenv turn --help'.\n");
    // Options are read before the operation is looked at, and the
    // operations share the group's help.
    r = run({"turn", "back", "--fast"});
    EXPECT_EQ(r.err, "psenv: unknown option '--fast'\npsenv: Try 'psenv turn --help'.\n");
    r = run({"turn", "right", "--help"});
    EXPECT_EQ(r.out, help_text(kTop[1], "turn"));
}

}  // namespace
}  // namespace psenv
