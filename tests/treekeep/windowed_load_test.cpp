// The loaders that open the file themselves read it through a window of
// their own; those that get a caller's stream read it a character at a time
// and leave it where the reading stopped.  Both must load the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "memalloc.h"
#include "param_file_fixture.h"

namespace {

using WindowedLoad = ParamFileTest;

std::string slurp(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Records of every kind, strings with escapes and line breaks, some longer
// than the loaders' string buffer, enough of them to fill several windows.
std::string manyRecords(unsigned seed, int count)
{
    std::mt19937 random(seed);
    std::string file;
    for (int i = 0; i < count; ++i) {
        const bool real = random() % 3 != 0;
        const std::string name = (real ? "r" : "s") + std::to_string(i);
        file += name + " 1 " + (real ? "1" : "2") + " 1e+06 -1e+06 0 2 0 " +
                std::to_string(random() % 65536) + " " + std::to_string(random() % 2) + " 64\n";
        const int values = 1 + static_cast<int>(random() % 4);
        file += std::to_string(values) + " ";
        for (int v = 0; v < values; ++v) {
            if (real) {
                file += std::to_string(static_cast<int>(random() % 2000) - 1000) + "." +
                        std::to_string(random() % 1000) + "e" +
                        std::to_string(static_cast<int>(random() % 20) - 10) + " ";
            } else {
                std::string text(random() % 50 == 0 ? 1100 + random() % 900 : random() % 30, 'q');
                if (!text.empty())
                    text[random() % text.size()] = '\n';
                file += "\"" + text + (random() % 4 == 0 ? "\\\"\\\\" : "") + "\"\n";
            }
        }
        file += "\n0 \n";
    }
    return file;
}

TEST_F(WindowedLoad, WholeFileLoadsEqualTheStreamLoads)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        toss_all();
        const std::string content = manyRecords(seed, 3000);
        ASSERT_GT(content.size(), 3u * 65536u);
        const std::string path = write("many.par", content);
        SinkCapture sink;
        ASSERT_EQ(P_read(1, path.c_str()), P_OK);
        const std::string windowedMessages = sink.text();
        sink.clear();
        EXPECT_EQ(readWith(readfromdisk, 2, content), -1);
        EXPECT_EQ(sink.text(), windowedMessages);
        balance(getTreeRootByIndex(2));

        const std::string one = dir_ + "/one.par";
        const std::string two = dir_ + "/two.par";
        ASSERT_EQ(P_save(1, one.c_str()), P_OK);
        ASSERT_EQ(P_save(2, two.c_str()), P_OK);
        EXPECT_EQ(slurp(one), slurp(two)) << "seed " << seed;
        EXPECT_EQ(count(1), 3000);

        char *names = nullptr;
        ASSERT_EQ(P_readnames(path.c_str(), &names), P_OK);
        ASSERT_NE(names, nullptr);
        const std::string listed = names;
        EXPECT_EQ(std::count(listed.begin(), listed.end(), ' '), 2999);
        EXPECT_EQ(listed.substr(listed.rfind(' ') + 1).substr(1), "2999");
        release(names);
        toss_all();
        EXPECT_EQ(P_rtx(3, path.c_str(), 1, 0), P_OK);
        const std::string three = dir_ + "/three.par";
        balance(getTreeRootByIndex(3));
        ASSERT_EQ(P_save(3, three.c_str()), P_OK);
        EXPECT_EQ(slurp(three), slurp(two)) << "seed " << seed;
    }
}

TEST_F(WindowedLoad, BadTokensStopBothLoadsWithTheSameMessage)
{
    const std::string good = "width 0 1 0 0 0 0 0 0 1 64\n1 3 \n0 \n";
    const std::string bad[] = {
        "x 0 one 0 0 0 0 0 0 1 64\n1 3 \n0 \n",
        "x 0 1 0 0 0 0 0 0 1 64\n2 3 four \n0 \n",
        "x 0 1 0 0 0 0 0 0 1 64\n1 3 \n1 \"s\" \n",
        "x 0 2 0 0 0 0 0 0 1 64\n2 \"a\" \"open",
        "x 0 7 0 0 0 0 0 0 1 64\n1 3 \n0 \n",
        "x 0 1 0 0 0 0 0 0 1 64\n2 3 4",
        std::string(300, 'n') + " 0 1 0 0 0 0 0 0 1 64\n1 3 \n0 \n",
    };
    for (const std::string &record : bad) {
        toss_all();
        const std::string path = write("bad.par", good + record);
        SinkCapture sink;
        EXPECT_EQ(P_read(1, path.c_str()), P_OK);
        const std::string windowed = sink.text();
        sink.clear();
        readWith(readfromdisk, 2, good + record);
        EXPECT_EQ(windowed, sink.text()) << record;
        EXPECT_EQ(count(1), count(2)) << record;
    }
}

// A caller's stream is left right after the last character the reading
// looked at, so the caller can go on reading it.
TEST_F(WindowedLoad, CallersStreamStaysWhereTheReadingStopped)
{
    const std::string records = "a 0 1 0 0 0 0 0 0 1 64\n1 3 \n0 \nb 0 1 0 0 0 0 0 0 1 64\n";
    struct Case {
        const char *tail;
        const char *rest;
        const char *message;
    } cases[] = {
        {"two 5 \n0 \n", "two 5 \n0 \n", "bad number"},  // a count that is not a number
        {"1 4 \nnone left\n", "none left\n", "bad number"},  // the same at the enumeration
        {"1 x1 \n0 \n", "x1 \n0 \n", "bad number"},        // a value
        {"1 2.5e \n0 \n", "", nullptr},                      // a dangling exponent is read
    };
    int (*readers[])(SymbolNode **, FILE *) = {readfromdisk, readvaluesfromdisk,
                                               readNewVarsfromdisk};
    for (const Case &c : cases) {
        for (auto reader : readers) {
            toss_all();
            std::FILE *stream = std::tmpfile();
            const std::string content = records + c.tail;
            std::fwrite(content.data(), 1, content.size(), stream);
            std::rewind(stream);
            SinkCapture sink;
            EXPECT_EQ(reader(getTreeRootByIndex(1), stream), c.message ? 0 : -1) << c.tail;
            std::string rest;
            for (int ch = std::fgetc(stream); ch != EOF; ch = std::fgetc(stream))
                rest.push_back(static_cast<char>(ch));
            std::fclose(stream);
            EXPECT_EQ(rest, c.rest) << c.tail;
            if (c.message != nullptr) {
                EXPECT_NE(sink.text().find(c.message), std::string::npos) << c.tail;
            } else {
                EXPECT_EQ(sink.text(), "") << c.tail;
            }
        }
    }
}

}  // namespace
