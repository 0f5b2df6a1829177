// nscmp against the recursive matching rule transcribed literally.
//
// Input: one byte giving the pattern length, then the pattern, then the
// name.  Both stay short so that the exponential reference finishes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "dirsearch.h"
#include "fuzz_support.h"
#include "wildcard_reference.h"

namespace {

constexpr std::size_t kMaxPattern = 16;
constexpr std::size_t kMaxName = 16;
constexpr long kMaxStars = 6;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const char *text = reinterpret_cast<const char *>(data + 1);
    const std::size_t rest = size - 1;
    const std::size_t pattern_length = std::min<std::size_t>(data[0] % (kMaxPattern + 1), rest);
    const std::size_t name_length = std::min(rest - pattern_length, kMaxName);
    const std::string pattern(text, pattern_length);
    const std::string name(text + pattern_length, name_length);
    // The reference is exponential in the stars; beyond a few it never ends.
    if (std::count(pattern.begin(), pattern.end(), '*') > kMaxStars)
        return 0;

    const int answer = nscmp(pattern.c_str(), name.c_str());
    fuzz::check(answer == wildcard_reference::match(pattern.c_str(), name.c_str()),
                "nscmp disagrees with the recursive rule");
    return 0;
}
