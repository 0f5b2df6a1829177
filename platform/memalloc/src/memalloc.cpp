// Allocator stand-in: every block carries a small header that links it into
// the list of its tag, so that one tag can be released as a whole and any
// single block can be released on its own.
#include "memalloc.h"
#include "memalloc_testing.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <string>

#include "block_header.h"

namespace memalloc {

std::size_t untaggedLive = 0;

namespace {

// std::less<> lets the map be searched with a plain C string.
std::map<std::string, TagList, std::less<>> &tags()
{
    static auto *all = new std::map<std::string, TagList, std::less<>>;
    return *all;
}

long failCountdown = 0;

void *allocateBlock(std::size_t size, TagList *owner)
{
    if (injectedFailure() || size > SIZE_MAX - sizeof(BlockHeader))
        return nullptr;
    auto *h = static_cast<BlockHeader *>(std::malloc(sizeof(BlockHeader) + size));
    if (h == nullptr)
        return nullptr;
    h->owner = owner;
    h->prev = nullptr;
    h->next = nullptr;
    h->kind = owner != nullptr ? Kind::Tagged : Kind::Plain;
    h->unused = 0;
    if (owner != nullptr)
        linkInto(*owner, h);
    else
        ++untaggedLive;
    return h + 1;
}

}  // namespace

bool injectedFailure()
{
    if (failCountdown <= 0)
        return false;
    return --failCountdown == 0;
}

void linkInto(TagList &list, BlockHeader *h)
{
    h->prev = nullptr;
    h->next = list.first;
    if (list.first != nullptr)
        list.first->prev = h;
    list.first = h;
    ++list.live;
}

void unlinkFrom(TagList &list, BlockHeader *h)
{
    if (h->prev != nullptr)
        h->prev->next = h->next;
    else
        list.first = h->next;
    if (h->next != nullptr)
        h->next->prev = h->prev;
    --list.live;
}

}  // namespace memalloc

using namespace memalloc;

extern "C" void *allocateWithId(size_t size, const char *tag)
{
    if (tag == nullptr || *tag == '\0')
        return allocateBlock(size, nullptr);
    auto &all = tags();
    auto it = all.find(tag);
    if (it == all.end()) {
        try {
            it = all.emplace(tag, TagList{}).first;
        } catch (const std::bad_alloc &) {
            return nullptr;
        }
    }
    return allocateBlock(size, &it->second);
}

extern "C" void *allocate(size_t size)
{
    return allocateBlock(size, nullptr);
}

extern "C" void release(void *block)
{
    if (block == nullptr)
        return;
    switch (kindOf(block)) {
    case Kind::ArenaSmall:
        releaseArenaSmall(block);
        return;
    case Kind::ArenaLarge:
        releaseArenaLarge(static_cast<BlockHeader *>(block) - 1);
        return;
    case Kind::Tagged: {
        BlockHeader *h = static_cast<BlockHeader *>(block) - 1;
        unlinkFrom(*h->owner, h);
        std::free(h);
        return;
    }
    case Kind::Plain:
        break;
    }
    --untaggedLive;
    std::free(static_cast<BlockHeader *>(block) - 1);
}

extern "C" void releaseAllWithId(const char *tag)
{
    if (tag == nullptr || *tag == '\0')
        return;
    auto &all = tags();
    auto it = all.find(tag);
    if (it == all.end())
        return;
    BlockHeader *h = it->second.first;
    while (h != nullptr) {
        BlockHeader *next = h->next;
        std::free(h);
        h = next;
    }
    it->second = TagList{};
}

extern "C" void memalloc_fail_nth(long n)
{
    failCountdown = n > 0 ? n : 0;
}

extern "C" size_t memalloc_live_blocks(const char *tag)
{
    if (tag == nullptr)
        return untaggedLive;
    auto &all = tags();
    auto it = all.find(tag);
    return it == all.end() ? 0 : it->second.live;
}
