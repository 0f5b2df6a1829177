// Parameters judged the same field by field, the walk over a tree in name
// order, and the names a save drops.
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "value_forms.h"

namespace {

// Equality of two reals read from files; two NaNs count as equal.
bool sameReal(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

// The entries a walk of the list meets: `count` at most.
int walkedCount(const ValueNode *node, int count)
{
    int met = 0;
    for (; met < count && node != nullptr; node = node->next)
        ++met;
    return met;
}

bool sameList(const ValueNode *a, int countA, int typeA, const ValueNode *b, int countB, int typeB)
{
    countA = walkedCount(a, countA);
    countB = walkedCount(b, countB);
    if (countA == 0 && countB == 0)
        return true;  // an empty list has no kind worth comparing
    if (typeA != typeB || countA != countB)
        return false;
    for (int i = 0; i < countA; ++i, a = a->next, b = b->next) {
        const bool same = typeA == T_STRING
                              ? std::strcmp(a->string != nullptr ? a->string : "",
                                            b->string != nullptr ? b->string : "") == 0
                              : sameReal(a->real, b->real);
        if (!same)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int P_sameparam(int treeA, const char *nameA, int treeB, const char *nameB)
{
    if (nameA == nullptr || nameB == nullptr)
        return P_VALUE_INVALID;
    int code = P_OK;
    const varInfo *a = treekeep::findRecord(treeA, nameA, code);
    if (a == nullptr)
        return code;
    const varInfo *b = treekeep::findRecord(treeB, nameB, code);
    if (b == nullptr)
        return code;
    const bool same =
        a->type == b->type &&
        sameList(a->values, a->size, a->type, b->values, b->size, b->type) &&
        sameList(a->enumValues, a->enumCount, a->enumType, b->enumValues, b->enumCount,
                 b->enumType) &&
        sameReal(a->min, b->min) && sameReal(a->max, b->max) && sameReal(a->step, b->step) &&
        a->group == b->group && a->dgroup == b->dgroup && a->subtype == b->subtype &&
        a->active == b->active && a->prot == b->prot;
    return same ? 1 : 0;
}

extern "C" int P_eachparam(int tree,
                           void (*each)(const char *name, const varInfo *record, void *context),
                           void *context)
{
    if (each == nullptr)
        return P_VALUE_INVALID;
    SymbolNode **root = getTreeRoot(getRoot(tree));
    if (root == nullptr)
        return P_NOTREE;
    // In order (left, node, right) with a stack of our own: names in strcmp
    // order whatever the tree's depth.
    int count = 0;
    try {
        std::vector<const SymbolNode *> pending;
        const SymbolNode *node = *root;
        while (node != nullptr || !pending.empty()) {
            while (node != nullptr) {
                pending.push_back(node);
                node = node->left;
            }
            node = pending.back();
            pending.pop_back();
            if (node->name != nullptr && node->varInfo != nullptr) {
                ++count;
                each(node->name, node->varInfo, context);
            }
            node = node->right;
        }
    } catch (const std::bad_alloc &) {
        return P_MALLOC;
    }
    return count;
}

namespace {

struct Unsavable {
    void (*each)(const char *name, void *context);
    void *context;
    int count;
};

void note_unsavable(const char *name, const varInfo *, void *context)
{
    auto *found = static_cast<Unsavable *>(context);
    if (name[0] != '$' && goodName(name) != 0)
        return;
    ++found->count;
    if (found->each != nullptr)
        found->each(name, found->context);
}

}  // namespace

extern "C" int P_unsavable(int tree, void (*each)(const char *name, void *context), void *context)
{
    Unsavable found{each, context, 0};
    const int walked = P_eachparam(tree, note_unsavable, &found);
    return walked < 0 ? walked : found.count;
}
