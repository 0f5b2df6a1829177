// nscmp on long texts: it must answer quickly (the runs use a per-input time
// limit) and still agree with an independent tabulation of the rule.
//
// Input: two bytes choosing the lengths of pattern and name, one byte giving
// the pattern piece's length, then the pattern piece and the name piece; each
// piece is repeated up to its length, so short inputs make long texts with
// many stars.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dirsearch.h"
#include "fuzz_support.h"

namespace {

char fold(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// `piece` repeated up to `limit` characters.
std::string repeat(const std::string &piece, std::size_t limit)
{
    std::string text;
    while (text.size() < limit && !piece.empty())
        text += piece;
    if (text.size() > limit)
        text.resize(limit);
    return text;
}

// match(i, j): the walk from pattern position i and name position j
// succeeds.  Filled from the ends backwards; a star tries every non-empty
// rest of the name, kept per pattern row as "any rest from j on matches".
int tabulated_match(const std::string &pattern, const std::string &name)
{
    const std::size_t P = pattern.size();
    const std::size_t N = name.size();
    if (P == 0)
        return N == 0 ? 1 : 0;
    if (N == 0)
        return pattern == "*" ? 1 : 0;
    const std::size_t width = N + 2;
    std::vector<char> match((P + 1) * width, 0);
    std::vector<char> any_from((P + 1) * width, 0);
    auto at = [width](std::vector<char> &table, std::size_t i, std::size_t j) -> char & {
        return table[i * width + j];
    };
    at(match, P, N) = 1;  // both texts end together; any_from[P] stays empty
    for (std::size_t i = P; i-- > 0;) {
        const char c = pattern[i];
        for (std::size_t j = N + 1; j-- > 0;) {
            char result = 0;
            if (c == '*')
                result = static_cast<char>(i + 1 == P || (j < N && at(any_from, i + 1, j)));
            else if (j < N && (c == '%' || fold(c) == fold(name[j])))
                result = at(match, i + 1, j + 1);
            at(match, i, j) = result;
            at(any_from, i, j) = static_cast<char>((j < N && result) || at(any_from, i, j + 1));
        }
    }
    return at(match, 0, 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 3)
        return 0;
    // Lengths are drawn on a doubling scale, so that short texts stay common
    // and every run still meets long ones.
    const std::size_t pattern_limit = std::size_t{4} << (data[0] % 5);  // 4 .. 64
    const std::size_t name_limit = std::size_t{16} << (data[1] % 9);    // 16 .. 4096
    const char *text = reinterpret_cast<const char *>(data + 3);
    const std::size_t rest = size - 3;
    const std::size_t piece_length = std::min<std::size_t>(data[2], rest);
    std::string pattern_piece(text, piece_length);
    std::string name_piece(text + piece_length, rest - piece_length);
    // nscmp sees C texts: anything after a zero byte is not part of them.
    pattern_piece.resize(pattern_piece.find('\0') == std::string::npos ? pattern_piece.size()
                                                                         : pattern_piece.find('\0'));
    name_piece.resize(name_piece.find('\0') == std::string::npos ? name_piece.size()
                                                                  : name_piece.find('\0'));
    const std::string pattern = repeat(pattern_piece, pattern_limit);
    const std::string name = repeat(name_piece, name_limit);

    fuzz::check(nscmp(pattern.c_str(), name.c_str()) == tabulated_match(pattern, name),
                "nscmp disagrees with the tabulated rule");
    return 0;
}
