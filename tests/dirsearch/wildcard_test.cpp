#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "dirsearch.h"
#include "wildcard_reference.h"

namespace {

using wildcard_reference::match;

struct Case {
    const char *pattern;
    const char *name;
    int expected;
};

TEST(Wildcard, DocumentedAnswersAndQuirks)
{
    const Case cases[] = {
        {"", "", 1},        {"*", "", 1},        {"%", "", 0},       {"**", "", 0},
        {"", "a", 0},       {"ABC", "abc", 1},   {"abc", "abcd", 0}, {"abcd", "abc", 0},
        {"a*c", "abbbc", 1}, {"a*c", "ab", 0},   {"*.c", "x.C", 1},  {"a%c", "abc", 1},
        {"a%c", "ac", 0},   {"a*", "a", 1},      {"a**", "a", 0},    {"a**", "ab", 1},
        {"*", "*", 1},      {"a", "*", 0},       {"%", "%", 1},      {"[", "{", 0},
        {"\xC4", "\xE4", 0}, {"*b*", "abc", 1},  {"*%", "a", 1},     {"%*%", "ab", 1},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(nscmp(c.pattern, c.name), c.expected) << c.pattern << " / " << c.name;
        EXPECT_EQ(match(c.pattern, c.name), c.expected) << c.pattern << " / " << c.name;
    }
    EXPECT_EQ(nscmp(nullptr, "a"), 0);
    EXPECT_EQ(nscmp("a", nullptr), 0);
}

TEST(Wildcard, AgreesWithTheRecursiveRuleOnRandomTexts)
{
    std::mt19937 random(20240611);
    const std::string pattern_alphabet = "aAbB*%";
    const std::string name_alphabet = "abAB*%";
    auto draw = [&](const std::string &alphabet, std::size_t max_length) {
        std::string text(random() % (max_length + 1), ' ');
        for (char &c : text)
            c = alphabet[random() % alphabet.size()];
        return text;
    };
    int matches = 0;
    for (int round = 0; round < 40000; ++round) {
        const std::string pattern = draw(pattern_alphabet, 7);
        const std::string name = draw(name_alphabet, 8);
        const int expected = match(pattern.c_str(), name.c_str());
        matches += expected;
        ASSERT_EQ(nscmp(pattern.c_str(), name.c_str()), expected)
            << "pattern '" << pattern << "' name '" << name << "'";
    }
    EXPECT_GT(matches, 1000);  // the draw exercises both answers
}

TEST(Wildcard, ManyStarsDoNotExplode)
{
    const std::string name(60, 'a');
    EXPECT_EQ(nscmp("*a*a*a*a*a*a*a*a*a*a*b", name.c_str()), 0);
    EXPECT_EQ(nscmp("*a*a*a*a*a*a*a*a*a*a*a", name.c_str()), 1);
    const std::string long_name(20000, 'x');
    EXPECT_EQ(nscmp("*x*x*y", long_name.c_str()), 0);
}

}  // namespace
