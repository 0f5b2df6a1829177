// Value and enumeration lists.  A string value's text lives in the same
// allocator block as its node, so release() of a single node (as the store
// does when it removes one value) frees the text too, and both disposal
// functions work on either kind of list.
#include "memalloc.h"
#include "vartree_internal.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <type_traits>

namespace vartree {
namespace {

// One list of a record, seen through its three fields.
struct ListFields {
    ValueNode **head;
    short *count;
    short *type;
    int which;  // 0 values, 1 enumeration
};

ListFields valueList(varInfo *v)
{
    return {&v->values, &v->size, &v->type, 0};
}

ListFields enumList(varInfo *v)
{
    return {&v->enumValues, &v->enumCount, &v->enumType, 1};
}

// Last node of recently appended lists, so that appending stays O(1) on long
// lists although the record has no tail field.  An entry is trusted only
// while the list's head and count are what they were when it was written.
struct TailEntry {
    const varInfo *record;
    int which;
    const ValueNode *head;
    ValueNode *tail;
    long count;
};

constexpr int kTailSlots = 16;
TailEntry tails[kTailSlots];

TailEntry &tailSlot(const varInfo *v, int which)
{
    auto key = reinterpret_cast<std::uintptr_t>(v) ^ static_cast<std::uintptr_t>(which);
    key *= UINT64_C(0x9E3779B97F4A7C15);
    return tails[(key >> 40) % kTailSlots];
}

ValueNode *cachedTail(const varInfo *v, const ListFields &list)
{
    const TailEntry &entry = tailSlot(v, list.which);
    if (entry.record == v && entry.which == list.which && entry.head == *list.head &&
        entry.count == *list.count && entry.count > 0)
        return entry.tail;
    return nullptr;
}

void rememberTail(const varInfo *v, const ListFields &list, ValueNode *tail)
{
    tailSlot(v, list.which) = TailEntry{v, list.which, *list.head, tail, *list.count};
}

ValueNode *newReal(const varInfo *v, double value)
{
    auto *node = static_cast<ValueNode *>(blockFor(v, sizeof(ValueNode)));
    if (node != nullptr) {
        node->real = value;
        node->next = nullptr;
    }
    return node;
}

ValueNode *newString(const varInfo *v, const char *value)
{
    std::size_t length = std::strlen(value);
    auto *node = static_cast<ValueNode *>(blockFor(v, sizeof(ValueNode) + length + 1));
    if (node != nullptr) {
        char *text = reinterpret_cast<char *>(node + 1);
        std::memcpy(text, value, length + 1);
        node->string = text;
        node->next = nullptr;
    }
    return node;
}

// Link to the `position`-th node (1-based) or NULL when the list ends first.
ValueNode **linkTo(const ListFields &list, int position)
{
    ValueNode **link = list.head;
    for (int i = 1; i < position; ++i) {
        if (*link == nullptr)
            return nullptr;
        link = &(*link)->next;
    }
    return *link != nullptr ? link : nullptr;
}

void disposeList(ValueNode *list)
{
    forgetList(list);
    while (list != nullptr) {
        ValueNode *next = list->next;
        release(list);
        list = next;
    }
}

int makeSole(varInfo *v, const ListFields &list, ValueNode *fresh, short kind)
{
    disposeList(*list.head);
    *list.head = fresh;
    *list.count = 1;
    *list.type = kind;
    rememberTail(v, list, fresh);
    return 1;
}

int replace(varInfo *v, const ListFields &list, ValueNode *fresh, int index)
{
    ValueNode **link = linkTo(list, index);
    if (link == nullptr) {
        release(fresh);
        return 0;
    }
    ValueNode *old = *link;
    ValueNode *tail = cachedTail(v, list);
    fresh->next = old->next;
    *link = fresh;
    release(old);
    if (tail != nullptr)
        rememberTail(v, list, tail == old ? fresh : tail);
    return 1;
}

int append(varInfo *v, const ListFields &list, ValueNode *fresh, short kind)
{
    ValueNode *tail = nullptr;
    if (*list.count > 0) {
        tail = cachedTail(v, list);
        if (tail == nullptr) {
            ValueNode **link = linkTo(list, *list.count);
            if (link == nullptr) {
                // The list is shorter than its count: no position is free.
                release(fresh);
                return 0;
            }
            tail = *link;
        }
    }
    ValueNode **after = tail != nullptr ? &tail->next : list.head;
    // Nodes past the count are invisible to every reader; drop them rather
    // than let them reappear behind the new value.
    disposeList(*after);
    *after = fresh;
    ++*list.count;
    if (*list.type == T_UNDEF)
        *list.type = kind;
    rememberTail(v, list, fresh);
    return 1;
}

struct MakeReal {
    double value;
    ValueNode *operator()(const varInfo *v) const { return newReal(v, value); }
};

struct MakeString {
    const char *value;
    ValueNode *operator()(const varInfo *v) const { return newString(v, value); }
};

// Common rules of the four assignments; `make` allocates the new node only
// after the index and kind were accepted.
template <typename Make>
int assign(varInfo *v, ListFields (*pick)(varInfo *), short kind, int index, Make make)
{
    if (v == nullptr)
        return 0;
    ListFields list = pick(v);
    int count = *list.count;
    bool kindFits = *list.type == kind || (*list.type == T_UNDEF && count <= 0);
    if (index != 0 && (!kindFits || index < 1 || index > count + 1))
        return 0;
    // The count is 16 bits wide; a list never grows past what it can hold.
    if (index == count + 1 && count >= SHRT_MAX)
        return 0;
    if constexpr (std::is_same_v<Make, MakeReal>) {
        // A real fits in the node it replaces: no allocation that could fail.
        if (index != 0 && index <= count) {
            ValueNode **link = linkTo(list, index);
            if (link == nullptr)
                return 0;
            (*link)->real = make.value;
            return 1;
        }
    }
    ValueNode *fresh = make(v);
    if (fresh == nullptr)
        return 0;
    if (index == 0)
        return makeSole(v, list, fresh, kind);
    if (index <= count)
        return replace(v, list, fresh, index);
    return append(v, list, fresh, kind);
}

}  // namespace

void forgetRecord(const varInfo *v)
{
    // A record's entries can only sit in the slots its two lists hash to.
    for (int which : {0, 1}) {
        TailEntry &entry = tailSlot(v, which);
        if (entry.record == v)
            entry = TailEntry{};
    }
}

void forgetList(const ValueNode *head)
{
    if (head == nullptr)
        return;
    for (TailEntry &entry : tails) {
        if (entry.head == head)
            entry = TailEntry{};
    }
}

void forgetAllTails()
{
    for (TailEntry &entry : tails)
        entry = TailEntry{};
}

}  // namespace vartree

using namespace vartree;

extern "C" int assignReal(double value, varInfo *v, int index)
{
    return assign(v, valueList, T_REAL, index, MakeReal{value});
}

extern "C" int assignString(const char *value, varInfo *v, int index)
{
    if (value == nullptr)
        return 0;
    return assign(v, valueList, T_STRING, index, MakeString{value});
}

extern "C" int assignEReal(double value, varInfo *v, int index)
{
    return assign(v, enumList, T_REAL, index, MakeReal{value});
}

extern "C" int assignEString(const char *value, varInfo *v, int index)
{
    if (value == nullptr)
        return 0;
    return assign(v, enumList, T_STRING, index, MakeString{value});
}

extern "C" void disposeRealRvals(ValueNode *list)
{
    disposeList(list);
}

extern "C" void disposeStringRvals(ValueNode *list)
{
    disposeList(list);
}
