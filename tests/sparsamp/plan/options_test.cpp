// The planner's make options by name (sparsamp_plan_options.h): the table,
// each option's accepted and refused texts, the options a method does not
// take, the reading of a whole set, and the warnings' wording.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "sparsamp_plan_options.h"

extern "C" int plan_c11_options(csplan_options *options, size_t *count);

namespace {

csplan_grid grid_of(std::initializer_list<int> ni)
{
    csplan_grid grid{};
    grid.dimensions = static_cast<int>(ni.size());
    std::copy(ni.begin(), ni.end(), grid.ni);
    return grid;
}

struct Set {
    int code = CSPLAN_EINVAL;
    csplan_options options{};
    std::string detail;
};

Set set_one(const char *method, const char *name, const char *value,
            const csplan_grid &grid = grid_of({64, 32}))
{
    Set result;
    csplan_options_init(&result.options);
    char detail[256] = "unchanged";
    result.code = csplan_options_set(&result.options, &grid, method, name, value, detail,
                                     sizeof detail);
    result.detail = detail;
    return result;
}

Set set_all(const char *method, const std::vector<std::pair<const char *, const char *>> &given,
            const csplan_grid &grid = grid_of({64, 32}))
{
    std::vector<const char *> names;
    std::vector<const char *> values;
    for (const auto &[name, value] : given) {
        names.push_back(name);
        values.push_back(value);
    }
    Set result;
    csplan_options_init(&result.options);
    char detail[256] = "unchanged";
    result.code = csplan_options_set_all(&result.options, &grid, method, names.data(),
                                         values.data(), names.size(), detail, sizeof detail);
    result.detail = detail;
    return result;
}

TEST(PlanOptions, TableListsEveryOptionOnceWithItsMethods)
{
    std::vector<std::string> names;
    std::set<std::string> flags;
    for (std::size_t i = 0; i < csplan_option_count(); ++i) {
        const csplan_option_entry *entry = csplan_option_at(i);
        ASSERT_NE(entry, nullptr);
        names.emplace_back(entry->name);
        if (entry->flag != 0)
            flags.insert(entry->name);
        EXPECT_NE(entry->methods & (CSPLAN_TAKEN_BY_POISSON_GAP | CSPLAN_TAKEN_BY_EXPONENTIAL), 0)
            << entry->name;
    }
    EXPECT_EQ(csplan_option_at(csplan_option_count()), nullptr);
    const std::vector<std::string> expected = {"points", "weight",  "decay", "walk",
                                               "sine-portion", "order", "head", "last",
                                               "best-of", "exclude", "allow-periodic"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(flags, (std::set<std::string>{"last", "allow-periodic"}));
    for (std::size_t i = 0; i < csplan_option_count(); ++i) {
        const csplan_option_entry *entry = csplan_option_at(i);
        const std::string name = entry->name;
        const int expected_methods =
            name == "decay" ? CSPLAN_TAKEN_BY_EXPONENTIAL
            : name == "weight" || name == "walk" || name == "sine-portion"
                ? CSPLAN_TAKEN_BY_POISSON_GAP
                : CSPLAN_TAKEN_BY_POISSON_GAP | CSPLAN_TAKEN_BY_EXPONENTIAL;
        EXPECT_EQ(entry->methods, expected_methods) << name;
    }
}

TEST(PlanOptions, ReadFromC)
{
    csplan_options options;
    std::size_t count = 0;
    ASSERT_EQ(plan_c11_options(&options, &count), CSPLAN_OK);
    EXPECT_EQ(count, csplan_option_count());
    EXPECT_EQ(options.walk, CSPLAN_WALK_RADIAL);
    EXPECT_EQ(options.last, 1);
    EXPECT_EQ(options.points, 40);
}

TEST(PlanOptions, MethodsByName)
{
    int method = -7;
    EXPECT_EQ(csplan_method_named("exponential", &method), CSPLAN_OK);
    EXPECT_EQ(method, CSPLAN_METHOD_EXPONENTIAL);
    EXPECT_EQ(csplan_method_named("poisson-gap", &method), CSPLAN_OK);
    EXPECT_EQ(method, CSPLAN_METHOD_POISSON_GAP);
    method = -7;
    for (const char *refused : {"uniform", "", "Poisson-gap", "poisson-gap "})
        EXPECT_EQ(csplan_method_named(refused, &method), CSPLAN_EINVAL) << refused;
    EXPECT_EQ(method, -7);
    EXPECT_EQ(csplan_method_named(nullptr, &method), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_method_named("exponential", nullptr), CSPLAN_EINVAL);
}

TEST(PlanOptions, WordOptionsTakeTheirWordsOnly)
{
    const struct {
        const char *name;
        const char *text;
        int csplan_options::*field;
        int value;
    } accepted[] = {
        {"walk", "threads", &csplan_options::walk, CSPLAN_WALK_THREADS},
        {"walk", "radial", &csplan_options::walk, CSPLAN_WALK_RADIAL},
        {"walk", "line", &csplan_options::walk, CSPLAN_WALK_LINE},
        {"sine-portion", "quarter", &csplan_options::sine_portion, CSPLAN_SINE_QUARTER},
        {"sine-portion", "half", &csplan_options::sine_portion, CSPLAN_SINE_HALF},
        {"sine-portion", "none", &csplan_options::sine_portion, CSPLAN_SINE_NONE},
        {"weight", "sine", &csplan_options::sine_portion, CSPLAN_SINE_QUARTER},
        {"weight", "none", &csplan_options::sine_portion, CSPLAN_SINE_NONE},
        {"order", "grid", &csplan_options::order, CSPLAN_ORDER_GRID},
        {"order", "shuffled", &csplan_options::order, CSPLAN_ORDER_SHUFFLED},
    };
    for (const auto &one : accepted) {
        const Set made = set_one("poisson-gap", one.name, one.text);
        EXPECT_EQ(made.code, CSPLAN_OK) << one.name << " " << one.text;
        EXPECT_EQ(made.options.*one.field, one.value) << one.name << " " << one.text;
        EXPECT_EQ(made.detail, "");
    }
    const std::pair<const char *, const char *> refusals[] = {
        {"walk", "--walk must be threads, radial or line"},
        {"sine-portion", "--sine-portion must be quarter, half or none"},
        {"weight", "--weight must be sine or none"},
        {"order", "--order must be grid or shuffled"},
    };
    for (const auto &[name, why] : refusals)
        for (const char *text : {"", "Line", "half ", "quarter-sine", "1"}) {
            const Set made = set_one("poisson-gap", name, text);
            EXPECT_EQ(made.code, CSPLAN_EINVAL) << name << " " << text;
            EXPECT_EQ(made.detail, why);
        }
}

TEST(PlanOptions, WholeNumbersAreReadStrictlyWithinTheirRange)
{
    struct Case {
        const char *name;
        const char *text;
        int expected;
    };
    const Case accepted[] = {
        {"head", "0", 0},          {"head", "+12", 12},       {"head", "2147483647", INT_MAX},
        {"exclude", "0", 0},       {"exclude", "007", 7},     {"best-of", "1", 1},
        {"best-of", "1000", 1000},
    };
    for (const Case &one : accepted) {
        const Set made = set_one("exponential", one.name, one.text);
        ASSERT_EQ(made.code, CSPLAN_OK) << one.name << " " << one.text;
        const int got = std::string(one.name) == "head"      ? made.options.head
                        : std::string(one.name) == "exclude" ? made.options.exclude
                                                             : made.options.best_of;
        EXPECT_EQ(got, one.expected) << one.name << " " << one.text;
    }
    const std::pair<const char *, const char *> refused[] = {
        {"head", "-1"},         {"head", "2147483648"}, {"head", "1.0"},  {"head", " 1"},
        {"head", ""},           {"head", "0x10"},       {"exclude", "-3"}, {"exclude", "1e3"},
        {"best-of", "0"},       {"best-of", "1001"},    {"best-of", "++2"},
    };
    for (const auto &[name, text] : refused) {
        const Set made = set_one("poisson-gap", name, text);
        EXPECT_EQ(made.code, CSPLAN_EINVAL) << name << " '" << text << "'";
        const std::string high = std::string(name) == "best-of" ? "1000" : "2147483647";
        const std::string low = std::string(name) == "best-of" ? "1" : "0";
        EXPECT_EQ(made.detail, std::string("--") + name + " '" + text +
                                   "' is not a whole number from " + low + " to " + high);
    }
}

TEST(PlanOptions, PointsLieOnTheGrid)
{
    const csplan_grid grid = grid_of({8, 4});
    Set made = set_one("poisson-gap", "points", "32", grid);
    EXPECT_EQ(made.code, CSPLAN_OK);
    EXPECT_EQ(made.options.points, 32);
    made = set_one("exponential", "points", "1", grid);
    EXPECT_EQ(made.options.points, 1);
    for (const char *text : {"0", "33", "-1", "8.5", "", "1,2"}) {
        made = set_one("poisson-gap", "points", text, grid);
        EXPECT_EQ(made.code, CSPLAN_EINVAL) << text;
        EXPECT_EQ(made.detail, "--points must be a whole number from 1 to the grid's 32 points");
    }
}

TEST(PlanOptions, DecayIsOneOrOnePerDimension)
{
    Set made = set_one("exponential", "decay", "12.5");
    ASSERT_EQ(made.code, CSPLAN_OK);
    EXPECT_EQ(made.options.method, CSPLAN_METHOD_EXPONENTIAL);
    EXPECT_DOUBLE_EQ(made.options.decay[0], 12.5);
    EXPECT_DOUBLE_EQ(made.options.decay[1], 12.5);
    EXPECT_DOUBLE_EQ(made.options.decay[2], 0);
    made = set_one("exponential", "decay", "3,1e1");
    ASSERT_EQ(made.code, CSPLAN_OK);
    EXPECT_DOUBLE_EQ(made.options.decay[0], 3);
    EXPECT_DOUBLE_EQ(made.options.decay[1], 10);
    made = set_one("exponential", "decay", ".5", grid_of({8, 8, 8}));
    ASSERT_EQ(made.code, CSPLAN_OK);
    EXPECT_DOUBLE_EQ(made.options.decay[2], 0.5);
    for (const char *text : {"0", "1,0", "-1", "+1", "1,2,3", "1, 2", "1,,2", "", ",", "1e999",
                             "nan", "inf", "2,"}) {
        made = set_one("exponential", "decay", text);
        EXPECT_EQ(made.code, CSPLAN_EINVAL) << text;
        EXPECT_EQ(made.detail, "--decay needs one positive number, or one per dimension (2), "
                               "separated by commas, without signs or blanks")
            << text;
    }
    // Ten dimensions at most, one decay each.
    const csplan_grid ten = grid_of({2, 2, 2, 2, 2, 2, 2, 2, 2, 2});
    EXPECT_EQ(set_one("exponential", "decay", "1,2,3,4,5,6,7,8,9,10", ten).code, CSPLAN_OK);
    EXPECT_EQ(set_one("exponential", "decay", "1,2,3,4,5,6,7,8,9,10,11", ten).code,
              CSPLAN_EINVAL);
}

TEST(PlanOptions, FlagsTakeNoValue)
{
    Set made = set_one("poisson-gap", "last", nullptr);
    EXPECT_EQ(made.code, CSPLAN_OK);
    EXPECT_EQ(made.options.last, 1);
    made = set_one("exponential", "allow-periodic", "");
    EXPECT_EQ(made.code, CSPLAN_OK);
    EXPECT_EQ(made.options.allow_periodic, 1);
    made = set_one("poisson-gap", "last", "yes");
    EXPECT_EQ(made.code, CSPLAN_EINVAL);
    EXPECT_EQ(made.detail, "--last takes no value");
    EXPECT_EQ(made.options.last, 0);
}

TEST(PlanOptions, OptionsOfTheOtherMethodAndUnknownOnesAreRefused)
{
    for (const char *name : {"weight", "walk", "sine-portion"}) {
        const Set made = set_one("exponential", name, "none");
        EXPECT_EQ(made.code, CSPLAN_EINVAL);
        EXPECT_EQ(made.detail, std::string("--") + name + " belongs to --method poisson-gap");
    }
    Set made = set_one("poisson-gap", "decay", "3");
    EXPECT_EQ(made.code, CSPLAN_EINVAL);
    EXPECT_EQ(made.detail, "--decay belongs to --method exponential");
    EXPECT_DOUBLE_EQ(made.options.decay[0], 0);
    made = set_one("poisson-gap", "seed", "3");
    EXPECT_EQ(made.detail, "--seed is no option of the planner");
    made = set_one("uniform", "walk", "line");
    EXPECT_EQ(made.code, CSPLAN_EINVAL);
    EXPECT_EQ(made.detail, "--method must be poisson-gap or exponential");

    // NULL arguments and an invalid grid are refused without a crash.
    csplan_options options;
    csplan_options_init(&options);
    const csplan_grid grid = grid_of({4});
    const csplan_grid none = grid_of({});
    EXPECT_EQ(csplan_options_set(nullptr, &grid, "poisson-gap", "last", nullptr, nullptr, 0),
              CSPLAN_EINVAL);
    EXPECT_EQ(csplan_options_set(&options, nullptr, "poisson-gap", "last", nullptr, nullptr, 0),
              CSPLAN_EINVAL);
    EXPECT_EQ(csplan_options_set(&options, &none, "poisson-gap", "last", nullptr, nullptr, 0),
              CSPLAN_EINVAL);
    EXPECT_EQ(csplan_options_set(&options, &grid, nullptr, "last", nullptr, nullptr, 0),
              CSPLAN_EINVAL);
    EXPECT_EQ(csplan_options_set(&options, &grid, "poisson-gap", nullptr, nullptr, nullptr, 0),
              CSPLAN_EINVAL);
    EXPECT_EQ(options.last, 0);
    // A detail is cut to fit.
    char small[8];
    EXPECT_EQ(csplan_options_set(&options, &grid, "poisson-gap", "walk", "x", small, sizeof small),
              CSPLAN_EINVAL);
    EXPECT_STREQ(small, "--walk ");
}

TEST(PlanOptions, AWholeSetIsReadInTheCommandLinesOrder)
{
    Set made = set_all("poisson-gap", {{"walk", "radial"},
                                       {"sine-portion", "half"},
                                       {"head", "3"},
                                       {"last", nullptr},
                                       {"order", "shuffled"},
                                       {"best-of", "4"},
                                       {"exclude", "1"},
                                       {"allow-periodic", nullptr},
                                       {"points", "100"}});
    ASSERT_EQ(made.code, CSPLAN_OK) << made.detail;
    EXPECT_EQ(made.detail, "");
    EXPECT_EQ(made.options.method, CSPLAN_METHOD_POISSON_GAP);
    EXPECT_EQ(made.options.walk, CSPLAN_WALK_RADIAL);
    EXPECT_EQ(made.options.sine_portion, CSPLAN_SINE_HALF);
    EXPECT_EQ(made.options.head, 3);
    EXPECT_EQ(made.options.last, 1);
    EXPECT_EQ(made.options.order, CSPLAN_ORDER_SHUFFLED);
    EXPECT_EQ(made.options.best_of, 4);
    EXPECT_EQ(made.options.exclude, 1);
    EXPECT_EQ(made.options.allow_periodic, 1);
    EXPECT_EQ(made.options.points, 100);

    made = set_all("poisson-gap", {});
    ASSERT_EQ(made.code, CSPLAN_OK);
    csplan_options defaults;
    csplan_options_init(&defaults);
    EXPECT_EQ(std::memcmp(&made.options, &defaults, sizeof defaults), 0);

    made = set_all("exponential", {{"decay", "4,2"}, {"order", "grid"}});
    ASSERT_EQ(made.code, CSPLAN_OK);
    EXPECT_EQ(made.options.method, CSPLAN_METHOD_EXPONENTIAL);
    EXPECT_DOUBLE_EQ(made.options.decay[1], 2);

    // The first refusal in the command line's order is the one reported.
    const std::pair<const char *, std::vector<std::pair<const char *, const char *>>> refusals[] = {
        {"--points must be a whole number from 1 to the grid's 2048 points",
         {{"walk", "x"}, {"points", "0"}}},
        {"--decay belongs to --method exponential", {{"weight", "x"}, {"decay", "1"}}},
        {"give --sine-portion or --weight, not both", {{"sine-portion", "x"}, {"weight", "none"}}},
        {"--weight must be sine or none", {{"walk", "x"}, {"weight", "half"}}},
        {"--sine-portion must be quarter, half or none", {{"walk", "x"}, {"sine-portion", "x"}}},
        {"--walk must be threads, radial or line", {{"head", "x"}, {"walk", "x"}}},
        {"--order must be grid or shuffled", {{"head", "x"}, {"order", "x"}}},
        {"--head 'x' is not a whole number from 0 to 2147483647", {{"best-of", "x"}, {"head", "x"}}},
        {"--best-of 'x' is not a whole number from 1 to 1000", {{"exclude", "x"}, {"best-of", "x"}}},
        {"--walk given twice", {{"walk", "line"}, {"walk", "line"}}},
        {"--seed is no option of the planner", {{"seed", "1"}}},
    };
    for (const auto &[why, given] : refusals) {
        made = set_all("poisson-gap", given);
        EXPECT_EQ(made.code, CSPLAN_EINVAL) << why;
        EXPECT_EQ(made.detail, why);
    }
    const std::pair<const char *, std::vector<std::pair<const char *, const char *>>>
        exponential_refusals[] = {
            {"--weight belongs to --method poisson-gap",
             {{"sine-portion", "x"}, {"walk", "x"}, {"weight", "x"}}},
            {"--walk belongs to --method poisson-gap", {{"sine-portion", "x"}, {"walk", "x"}}},
            {"--sine-portion belongs to --method poisson-gap",
             {{"decay", "x"}, {"sine-portion", "half"}}},
            {"--method exponential needs --decay T (increments)", {{"order", "x"}}},
            {"--decay needs one positive number, or one per dimension (2), separated by commas, "
             "without signs or blanks",
             {{"order", "x"}, {"decay", "1,2,3"}}},
        };
    for (const auto &[why, given] : exponential_refusals) {
        made = set_all("exponential", given);
        EXPECT_EQ(made.code, CSPLAN_EINVAL) << why;
        EXPECT_EQ(made.detail, why);
    }
    const csplan_grid grid = grid_of({4});
    csplan_options options;
    csplan_options_init(&options);
    EXPECT_EQ(csplan_options_set_all(&options, &grid, "poisson-gap", nullptr, nullptr, 1, nullptr,
                                     0),
              CSPLAN_EINVAL);
    EXPECT_EQ(csplan_options_set_all(&options, &grid, "poisson-gap", nullptr, nullptr, 0, nullptr,
                                     0),
              CSPLAN_OK);
}

TEST(PlanOptions, WarningsListTwentyFindingsThenCountTheRest)
{
    std::vector<std::string> texts;
    std::vector<csplan_problem> problems;
    for (int i = 0; i < 23; ++i)
        texts.push_back("finding " + std::to_string(i));
    for (int i = 0; i < 23; ++i)
        problems.push_back({i + 2, texts[static_cast<std::size_t>(i)].c_str()});
    csplan_check_report report{};
    report.problems = problems.data();
    char text[128];
    for (std::size_t count : {0U, 1U, 20U, 21U, 23U}) {
        report.count = count;
        const std::size_t expected = count > 20 ? 21 : count;
        ASSERT_EQ(csplan_warning_count(&report), expected) << count;
        for (std::size_t i = 0; i < expected; ++i) {
            ASSERT_EQ(csplan_warning_text("dir/a.sch", &report, i, text, sizeof text), CSPLAN_OK);
            if (i < 20)
                EXPECT_EQ(std::string(text),
                          "dir/a.sch:" + std::to_string(i + 2) + ": finding " + std::to_string(i));
            else
                EXPECT_EQ(std::string(text), "dir/a.sch: " + std::to_string(count - 20) +
                                                 " more problems ('psenv sched check' lists them)");
        }
        EXPECT_EQ(csplan_warning_text("dir/a.sch", &report, expected, text, sizeof text),
                  CSPLAN_EINVAL);
    }
    EXPECT_EQ(csplan_warning_count(nullptr), 0U);
    report.count = 1;
    EXPECT_EQ(csplan_warning_text(nullptr, &report, 0, text, sizeof text), CSPLAN_EINVAL);
    EXPECT_EQ(csplan_warning_text("a", &report, 0, text, 0), CSPLAN_EINVAL);
    char tiny[5];
    EXPECT_EQ(csplan_warning_text("a.sch", &report, 0, tiny, sizeof tiny), CSPLAN_OK);
    EXPECT_STREQ(tiny, "a.sc");
}

}  // namespace
