// rscanf alone: quoted strings read one after another from arbitrary bytes,
// into a buffer of exactly the length passed (so that any write past it is
// caught), checked against a transcription of the reading rule: the result,
// the text, the stream position after each read and the overlong message.
//
// Input: one byte choosing the length (1024, as every caller passes, unless
// the byte is below 32: then that byte, at least 2), then the stream.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "treekeep_internal.h"

namespace {

int messages = 0;

struct Expected {
    int result;
    std::string text;
    std::size_t position;
    int messages;
};

// The rule: skip to an opening quote; a backslash makes the next character
// literal; a closing quote ends the text; the end of the stream inside the
// text is a premature end (-1).  A text that reaches length-1 characters is
// cut there with one message, and the rest of it is skipped up to and
// including its closing quote.
Expected expected_read(const std::vector<char> &bytes, std::size_t at, int length)
{
    const std::size_t end = bytes.size();
    while (at < end && bytes[at] != '"')
        ++at;
    if (at == end)
        return {-1, "", end, 0};
    ++at;
    std::string text;
    bool cut = false;
    while (true) {
        if (at == end)
            return {-1, "", end, cut ? 1 : 0};
        char c = bytes[at++];
        if (c == '"')
            return {static_cast<int>(text.size()), text, at, cut ? 1 : 0};
        if (c == '\\') {
            if (at == end)
                return {-1, "", end, cut ? 1 : 0};
            c = bytes[at++];
        }
        if (text.size() < static_cast<std::size_t>(length - 1))
            text += c;
        if (!cut && text.size() == static_cast<std::size_t>(length - 1))
            cut = true;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Werrprintf_set_hook([](const char *, void *) { ++messages; }, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int length = data[0] < 32 ? std::max(2, static_cast<int>(data[0])) : TREEKEEP_STRING_BUFFER;
    std::vector<char> bytes(data + 1, data + size);
    std::FILE *stream = fmemopen(bytes.data(), bytes.size(), "r");
    fuzz::check(stream != nullptr, "fmemopen failed");

    std::vector<char> buffer(static_cast<std::size_t>(length));
    std::size_t position = 0;
    for (int round = 0; round < 256; ++round) {
        const Expected want = expected_read(bytes, position, length);
        messages = 0;
        const int result = rscanf(stream, buffer.data(), length);
        fuzz::check(result == want.result, "rscanf result differs from the rule");
        if (result >= 0) {
            fuzz::check(buffer[static_cast<std::size_t>(result)] == '\0', "text not terminated");
            fuzz::check(std::memcmp(buffer.data(), want.text.data(), want.text.size()) == 0,
                        "rscanf text differs from the rule");
        }
        fuzz::check(messages == want.messages, "rscanf message count differs from the rule");
        position = want.position;
        fuzz::check(static_cast<std::size_t>(std::ftell(stream)) == position,
                    "rscanf left the stream elsewhere than the rule");
        if (result < 0)
            break;
    }
    std::fclose(stream);
    return 0;
}
