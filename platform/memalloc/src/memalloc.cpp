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

namespace {

struct TagList;

struct alignas(std::max_align_t) BlockHeader {
    BlockHeader *prev;
    BlockHeader *next;
    TagList *owner;  // null for untagged blocks
};

struct TagList {
    BlockHeader *first = nullptr;
    std::size_t live = 0;
};

// std::less<> lets the map be searched with a plain C string.
std::map<std::string, TagList, std::less<>> &tags()
{
    static auto *all = new std::map<std::string, TagList, std::less<>>;
    return *all;
}

std::size_t untagged_live = 0;
long fail_countdown = 0;

bool injected_failure()
{
    if (fail_countdown <= 0)
        return false;
    return --fail_countdown == 0;
}

void *allocate_block(std::size_t size, TagList *owner)
{
    if (injected_failure() || size > SIZE_MAX - sizeof(BlockHeader))
        return nullptr;
    auto *h = static_cast<BlockHeader *>(std::malloc(sizeof(BlockHeader) + size));
    if (h == nullptr)
        return nullptr;
    h->owner = owner;
    h->prev = nullptr;
    h->next = nullptr;
    if (owner != nullptr) {
        h->next = owner->first;
        if (owner->first != nullptr)
            owner->first->prev = h;
        owner->first = h;
        ++owner->live;
    } else {
        ++untagged_live;
    }
    return h + 1;
}

}  // namespace

extern "C" void *allocateWithId(size_t size, const char *tag)
{
    if (tag == nullptr || *tag == '\0')
        return allocate_block(size, nullptr);
    auto &all = tags();
    auto it = all.find(tag);
    if (it == all.end()) {
        try {
            it = all.emplace(tag, TagList{}).first;
        } catch (const std::bad_alloc &) {
            return nullptr;
        }
    }
    return allocate_block(size, &it->second);
}

extern "C" void *allocate(size_t size)
{
    return allocate_block(size, nullptr);
}

extern "C" void release(void *block)
{
    if (block == nullptr)
        return;
    BlockHeader *h = static_cast<BlockHeader *>(block) - 1;
    if (TagList *owner = h->owner) {
        if (h->prev != nullptr)
            h->prev->next = h->next;
        else
            owner->first = h->next;
        if (h->next != nullptr)
            h->next->prev = h->prev;
        --owner->live;
    } else {
        --untagged_live;
    }
    std::free(h);
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
    fail_countdown = n > 0 ? n : 0;
}

extern "C" size_t memalloc_live_blocks(const char *tag)
{
    if (tag == nullptr)
        return untagged_live;
    auto &all = tags();
    auto it = all.find(tag);
    return it == all.end() ? 0 : it->second.live;
}
