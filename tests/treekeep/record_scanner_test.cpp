// The token scans against stdio's fscanf on the same files: same result,
// same value (bit for bit), and the same characters left unread.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "record_scanner.h"
#include "sink_capture.h"
#include "treekeep_internal.h"

namespace {

using treekeep::Scan;

enum class Kind { Word, Short, Int, Hex, Real };

struct Token {
    Kind kind;
    std::string text;
};

// One scan's outcome: fscanf's result (1, 0 or EOF), the value as bytes,
// and the stream position afterwards.
struct Outcome {
    int result = 0;
    std::string value;
    long position = 0;

    bool operator==(const Outcome &) const = default;
};

template <typename T>
std::string bytes(const T &value)
{
    return std::string(reinterpret_cast<const char *>(&value), sizeof value);
}

std::FILE *fileWith(const std::string &content)
{
    std::FILE *f = std::tmpfile();
    std::fwrite(content.data(), 1, content.size(), f);
    std::rewind(f);
    return f;
}

Outcome byStdio(std::FILE *f, Kind kind)
{
    Outcome o;
    switch (kind) {
    case Kind::Word: {
        char buf[256] = {};
        o.result = std::fscanf(f, "%255s", buf);
        if (o.result == 1)
            o.value = buf;
        break;
    }
    case Kind::Short: {
        short v = 0;
        o.result = std::fscanf(f, "%hd", &v);
        o.value = bytes(v);
        break;
    }
    case Kind::Int: {
        int v = 0;
        o.result = std::fscanf(f, "%d", &v);
        o.value = bytes(v);
        break;
    }
    case Kind::Hex: {
        unsigned v = 0;
        o.result = std::fscanf(f, "%x", &v);
        o.value = bytes(v);
        break;
    }
    case Kind::Real: {
        double v = 0.0;
        o.result = std::fscanf(f, "%lg", &v);
        o.value = bytes(v);
        break;
    }
    }
    o.position = std::ftell(f);
    return o;
}

int asResult(Scan scan)
{
    switch (scan) {
    case Scan::Ok:
    case Scan::TooLong:  // fscanf with a width converts the first part too
        return 1;
    case Scan::Bad:
        return 0;
    default:
        return EOF;
    }
}

long positionOf(treekeep::StreamSource &, std::FILE *f)
{
    return std::ftell(f);
}

long positionOf(treekeep::FileWindow &window, std::FILE *)
{
    return window.consumed();
}

template <class Source>
Outcome byScanner(Source &source, std::FILE *f, Kind kind)
{
    Outcome o;
    switch (kind) {
    case Kind::Word: {
        char buf[256] = {};
        o.result = asResult(treekeep::scanWord(source, buf, sizeof buf));
        if (o.result == 1)
            o.value = buf;
        break;
    }
    case Kind::Short:
    case Kind::Int: {
        long v = 0;
        const Scan scan = treekeep::scanInteger(source, v);
        o.result = asResult(scan);
        o.value = kind == Kind::Short ? bytes(scan == Scan::Ok ? static_cast<short>(v) : short{0})
                                      : bytes(scan == Scan::Ok ? static_cast<int>(v) : 0);
        break;
    }
    case Kind::Hex: {
        unsigned long v = 0;
        const Scan scan = treekeep::scanHex(source, v);
        o.result = asResult(scan);
        o.value = bytes(scan == Scan::Ok ? static_cast<unsigned>(v) : 0U);
        break;
    }
    case Kind::Real: {
        double v = 0.0;
        const Scan scan = treekeep::scanReal(source, v);
        o.result = asResult(scan);
        o.value = bytes(scan == Scan::Ok ? v : 0.0);
        break;
    }
    }
    o.position = positionOf(source, f);
    return o;
}

template <class Source>
void expectSameScansFrom(Source &source, std::FILE *a, std::FILE *b, const std::string &content,
                         const std::vector<Kind> &kinds)
{
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const Outcome expected = byStdio(a, kinds[i]);
        const Outcome got = byScanner(source, b, kinds[i]);
        ASSERT_EQ(got.result, expected.result) << "token " << i << " of\n" << content;
        if (expected.result != 1)
            break;
        ASSERT_EQ(got.value, expected.value) << "token " << i << " of\n" << content;
        ASSERT_EQ(got.position, expected.position) << "token " << i << " of\n" << content;
    }
}

// Scans `kinds` in turn from `content` both ways; the outcomes must agree
// up to the first failed conversion (after which the loaders stop anyway,
// so only the failure itself has to agree).  With a `window` size the scans
// read the file through a FileWindow of that many bytes, as the loaders
// that open the file themselves do.
void expectSameScans(const std::string &content, const std::vector<Kind> &kinds,
                     std::size_t window = 0)
{
    std::FILE *a = fileWith(content);
    std::FILE *b = fileWith(content);
    if (window == 0) {
        treekeep::StreamSource source(b);
        expectSameScansFrom(source, a, b, content, kinds);
    } else {
        treekeep::FileWindow source(fileno(b), window);
        expectSameScansFrom(source, a, b, content, kinds);
    }
    std::fclose(a);
    std::fclose(b);
}

std::string format(const char *fmt, double value)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, value);
    return buf;
}

class TokenMaker {
public:
    explicit TokenMaker(unsigned seed) : random_(seed) {}

    Token make()
    {
        const Kind kind = static_cast<Kind>(pick(5));
        switch (kind) {
        case Kind::Word:
            return {kind, word()};
        case Kind::Short:
            return {kind, std::to_string(static_cast<short>(random_()))};
        case Kind::Int:
            return {kind, std::to_string(static_cast<std::int32_t>(random_()))};
        case Kind::Hex: {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%x", pick(2) ? 100U : static_cast<unsigned>(random_()));
            return {kind, buf};
        }
        default:
            return {kind, real()};
        }
    }

    std::string blanks()
    {
        static const char *kBlanks[] = {" ", "\n", "\t", " \n", "\r\n", "  ", "\v", "\f"};
        return kBlanks[pick(8)];
    }

private:
    unsigned pick(unsigned n) { return static_cast<unsigned>(random_() % n); }

    std::string word()
    {
        // Names as the writer puts them, now and then far too long.
        const std::size_t length = pick(10) == 0 ? 200 + pick(200) : 1 + pick(20);
        std::string text;
        while (text.size() < length) {
            int c = static_cast<int>(33 + pick(222));
            if (c == 127)
                c = '_';
            text.push_back(static_cast<char>(c));
        }
        return text;
    }

    std::string real()
    {
        static const double kSpecial[] = {
            0.0, -0.0, 1.0 / 3.0, 100.0, 0.1, 1e-7, -2.5, 1e300, -1e-300, 5e-324,
            std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity(),
            -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(),
            -std::numeric_limits<double>::quiet_NaN(), 123456789012345.0, 64.0};
        static const char *kFormats[] = {"%.12g", "%1.12g", "%.17g", "%a", "%f", "%E"};
        double value;
        switch (pick(3)) {
        case 0:
            value = kSpecial[pick(sizeof kSpecial / sizeof kSpecial[0])];
            break;
        case 1: {
            std::uint64_t raw = (static_cast<std::uint64_t>(random_()) << 32) | random_();
            std::memcpy(&value, &raw, sizeof value);
            break;
        }
        default:
            value = std::ldexp(static_cast<double>(random_()) - 2147483648.0,
                               static_cast<int>(pick(80)) - 40);
        }
        // The writer's forms most of the time, any stdio form now and then.
        return format(pick(4) ? kFormats[pick(2)] : kFormats[pick(6)], value);
    }

    std::mt19937 random_;
};

// Windows of a few bytes split nearly every token somewhere.
constexpr std::size_t kWindows[] = {0, 1, 2, 3, 7, 64};

TEST(RecordScanner, AgreesWithStdioOnGeneratedTokenStreams)
{
    for (unsigned seed = 1; seed <= 300; ++seed) {
        TokenMaker maker(seed);
        std::string content = maker.blanks();
        std::vector<Kind> kinds;
        for (int i = 0; i < 60; ++i) {
            const Token token = maker.make();
            content += token.text + maker.blanks();
            kinds.push_back(token.kind);
        }
        // Scanning on past the end compares the end of the file too.
        kinds.push_back(Kind::Real);
        kinds.push_back(Kind::Word);
        for (std::size_t window : kWindows) {
            if (window != 0 && seed > 60)
                break;
            SCOPED_TRACE("window " + std::to_string(window));
            expectSameScans(content, kinds, window);
            if (HasFatalFailure())
                return;
        }
    }
}

TEST(RecordScanner, AgreesWithStdioOnTheWritersRecordLayout)
{
    // Header, counts and values as a record is written, scanned as a record
    // is read; the trailer may be any hexadecimal number.
    const std::string file =
        "width 0 1 100 0 0 1 2 0 1 64\n2 2.5 10 \n0 \n"
        "tof 3 1 1e+07 -1e+07 0.1 1 0 16384 0 ff\n1 -1.23456789012e-05 \n2 1 -inf \n";
    const std::vector<Kind> record = {Kind::Word, Kind::Short, Kind::Short, Kind::Real,
                                      Kind::Real, Kind::Real,  Kind::Short, Kind::Short,
                                      Kind::Int,  Kind::Short, Kind::Hex,   Kind::Int};
    std::vector<Kind> kinds = record;
    kinds.insert(kinds.end(), {Kind::Real, Kind::Real, Kind::Int});
    kinds.insert(kinds.end(), record.begin(), record.end());
    kinds.insert(kinds.end(), {Kind::Real, Kind::Int, Kind::Real, Kind::Real, Kind::Word});
    for (std::size_t window : kWindows)
        expectSameScans(file, kinds, window);
}

TEST(RecordScanner, RefusesWhatStdioRefuses)
{
    // Odd tokens: whatever fscanf converts, the scans convert alike; what
    // it refuses, they refuse.
    const char *reals[] = {"1e", "1e+", "-", "+.", ".", "0x", "0x1p", "0x1p+", "infinit",
                           "infinity", "INF", "nanx", "NaN", "1.5.3", "--1", "+-1", "0x1g",
                           "1e5e5", ".e5", "-.5", "0.", "00012", "9e99999", "x", "\"a\"",
                           "-x", "0x.8p1", "1,5", "+inf", "-nan", "in", "n"};
    for (const char *text : reals) {
        for (std::size_t window : kWindows)
            expectSameScans(std::string(" ") + text + " 7", {Kind::Real, Kind::Int}, window);
    }
    const char *integers[] = {"-", "+", "--1", "0x12", "99999999999999999999",
                              "-99999999999999999999", "2147483648", "-2147483649",
                              "40000", "-40000", "12abc", "a", "+0", "-0", "1.5"};
    for (const char *text : integers) {
        expectSameScans(std::string(text) + " 7", {Kind::Int, Kind::Int});
        expectSameScans(std::string(text) + " 7", {Kind::Short, Kind::Int});
    }
    const char *hex[] = {"64", "0x64", "0X", "-1", "+ff", "g", "0xg", "FFFFFFFFFFFFFFFFFF", "-"};
    for (const char *text : hex)
        expectSameScans(std::string(text) + " 7", {Kind::Hex, Kind::Int});
    expectSameScans("", {Kind::Int});
    expectSameScans(" \n\t", {Kind::Real});
    expectSameScans(std::string(300, 'n') + " x", {Kind::Word, Kind::Word});
}

// ---- the quoted-string reader ----------------------------------------------

struct Quoted {
    int result;
    std::string text;
    std::string rest;  // what stays unread
};

Quoted readQuoted(const std::string &content)
{
    std::FILE *f = fileWith(content);
    std::vector<char> buf(TREEKEEP_STRING_BUFFER, 'x');
    Quoted q;
    q.result = rscanf(f, buf.data(), TREEKEEP_STRING_BUFFER);
    q.text = q.result >= 0 ? std::string(buf.data()) : std::string();
    for (int c = std::fgetc(f); c != EOF; c = std::fgetc(f))
        q.rest.push_back(static_cast<char>(c));
    std::fclose(f);
    return q;
}

TEST(QuotedStrings, EscapesLineBreaksAndSkippedText)
{
    Quoted q = readQuoted("junk \"x\\\"y\\\\z\" rest");
    EXPECT_EQ(q.result, 5);
    EXPECT_EQ(q.text, "x\"y\\z");
    EXPECT_EQ(q.rest, " rest");

    q = readQuoted("1 \"two\nlines\"\n");
    EXPECT_EQ(q.text, "two\nlines");
    EXPECT_EQ(q.rest, "\n");

    q = readQuoted("\"\"");
    EXPECT_EQ(q.result, 0);
    EXPECT_EQ(q.text, "");
}

TEST(QuotedStrings, EndOfFileOutsideOrInsideAStringIsNegative)
{
    for (const char *content : {"", "   \n", "no quote at all", "\"open", "\"open\\", "\"a\\\""}) {
        SinkCapture sink;
        EXPECT_LT(readQuoted(content).result, 0) << content;
        EXPECT_EQ(sink.text(), "");
    }
}

TEST(QuotedStrings, LongStringsAreCutAndSkippedToTheirEnd)
{
    SinkCapture sink;
    const std::string fits(1022, 'a');
    Quoted q = readQuoted("\"" + fits + "\" \"next\"");
    EXPECT_EQ(q.result, 1022);
    EXPECT_EQ(q.text, fits);
    EXPECT_EQ(sink.text(), "");

    for (std::size_t length : {1023u, 1024u, 5000u}) {
        sink.clear();
        // Escaped quotes inside the overlong part must not end the skip.
        std::string body(length, 'b');
        if (length > 1500)
            body.replace(1500, 2, "\\\"");
        q = readQuoted("\"" + body + "\" \"next\"");
        EXPECT_EQ(q.result, 1023) << length;
        EXPECT_EQ(q.text.size(), 1023u);
        EXPECT_EQ(q.rest, " \"next\"") << length;
        EXPECT_EQ(sink.text(), "rscanf:ERROR in rscan, string > 1024\n");
    }

    sink.clear();
    q = readQuoted("\"" + std::string(2000, 'c'));
    EXPECT_LT(q.result, 0);  // the file ends inside the overlong string
    EXPECT_EQ(sink.text(), "rscanf:ERROR in rscan, string > 1024\n");
}

}  // namespace

namespace {

Quoted readQuotedThrough(const std::string &content, std::size_t window)
{
    std::FILE *f = fileWith(content);
    treekeep::FileWindow source(fileno(f), window);
    std::vector<char> buf(TREEKEEP_STRING_BUFFER, 'x');
    Quoted q;
    q.result = treekeep::readQuoted(source, buf.data(), TREEKEEP_STRING_BUFFER);
    q.text = q.result >= 0 ? std::string(buf.data()) : std::string();
    q.rest = content.substr(static_cast<std::size_t>(source.consumed()));
    std::fclose(f);
    return q;
}

TEST(QuotedStrings, WindowsThatSplitAStringReadItAsTheStreamDoes)
{
    std::string overlong = "\"" + std::string(1500, 'b') + "\\\"" + std::string(600, 'b') + "\" x";
    for (const std::string &content :
         {std::string("junk \"x\\\"y\\\\z\" rest"), std::string("1 \"two\nlines\"\n"),
          std::string("\"\""), std::string("\"open\\"), std::string("no quote"), overlong,
          "\"" + std::string(1022, 'a') + "\" \"next\""}) {
        SinkCapture sink;
        const Quoted expected = readQuoted(content);
        const std::string message = sink.text();
        for (std::size_t window : {1, 2, 3, 7, 64, 4096}) {
            sink.clear();
            const Quoted got = readQuotedThrough(content, window);
            EXPECT_EQ(got.result, expected.result) << window << ": " << content.substr(0, 40);
            EXPECT_EQ(got.text, expected.text) << window;
            EXPECT_EQ(got.rest, expected.rest) << window;
            EXPECT_EQ(sink.text(), message) << window;
        }
    }
}

}  // namespace

namespace {

// Short decimals are converted by one exact multiplication or division; the
// result must be strtod's to the last bit, at the edges of that shortcut
// too (15 and 16 digits, powers of ten 22 and 23, negative zero).
TEST(RecordScanner, ShortDecimalsThroughAWindowConvertLikeStrtod)
{
    std::mt19937 random(11);
    std::string content;
    std::vector<std::string> texts = {"-0", "0.", ".5", "-.5e-3", "123456789012345",
                                      "1234567890123456", "1e22", "1e23", "1e-22", "1e-23",
                                      "9007199254740993", "0.000000000000001", "+7", "5e+000",
                                      "1.7976931348623157e308", "4.9e-324", "2.5E+06"};
    const char *formats[] = {"%.12g", "%.15g", "%.3f", "%g", "%.1e", "%.0f"};
    for (int i = 0; i < 20000; ++i) {
        const double magnitude = std::ldexp(static_cast<double>(random() % 100000000),
                                            static_cast<int>(random() % 60) - 40);
        char buf[64];
        std::snprintf(buf, sizeof buf, formats[random() % 6], random() % 2 ? magnitude : -magnitude);
        texts.emplace_back(buf);
    }
    for (const std::string &text : texts)
        content += text + (random() % 2 ? " " : "\n");
    std::FILE *f = fileWith(content);
    treekeep::FileWindow window(fileno(f));
    for (const std::string &text : texts) {
        double got = 0;
        ASSERT_EQ(treekeep::scanReal(window, got), Scan::Ok) << text;
        const double expected = std::strtod(text.c_str(), nullptr);
        ASSERT_EQ(bytes(got), bytes(expected)) << text;
    }
    std::fclose(f);
}

}  // namespace
