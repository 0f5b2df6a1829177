// Name rules and the tagged text helpers of the file readers.
#include "memalloc.h"
#include "vartree.h"

#include <cstring>

namespace {

bool startsName(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$';
}

bool continuesName(unsigned char c)
{
    return startsName(c) || (c >= '0' && c <= '9');
}

}  // namespace

extern "C" int goodName(const char *name)
{
    if (name == nullptr || !startsName(static_cast<unsigned char>(name[0])))
        return 0;
    std::size_t length = 1;
    for (; name[length] != '\0'; ++length) {
        if (length >= 255 || !continuesName(static_cast<unsigned char>(name[length])))
            return 0;
    }
    return 1;
}

extern "C" int goodGroupIndex(int group)
{
    return group >= 0 && group <= 7 ? 1 : 0;
}

extern "C" char *newCatId(const char *first, const char *more, const char *tag)
{
    if (first == nullptr)
        first = "";
    if (more == nullptr)
        more = "";
    std::size_t firstLength = std::strlen(first);
    std::size_t moreLength = std::strlen(more);
    auto *text = static_cast<char *>(allocateWithId(firstLength + moreLength + 1, tag));
    if (text == nullptr)
        return nullptr;
    std::memcpy(text, first, firstLength);
    std::memcpy(text + firstLength, more, moreLength + 1);
    return text;
}

extern "C" char *newStringId(const char *text, const char *tag)
{
    return newCatId(text, "", tag);
}
