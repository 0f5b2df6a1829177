// Removal of one value, one parameter, one group, and pruning of a tree
// against a reference tree.
#include "memalloc.h"
#include "tree_walk.h"
#include "treekeep_internal.h"

extern "C" int P_deleteVarIndex(int tree, const char *name, int index)
{
    SymbolNode **root = getTreeRootByIndex(tree);
    if (root == nullptr)
        return P_NOTREE;
    varInfo *record = rfindVar(name, root);
    if (record == nullptr)
        return P_NOVAR;
    if (index < 1 || index > record->size)
        return P_INDEX;
    ValueNode **link = &record->values;
    for (int position = 1; position < index && *link != nullptr; ++position)
        link = &(*link)->next;
    ValueNode *removed = *link;
    if (removed == nullptr)
        return P_INDEX;  // the list is shorter than its count
    *link = removed->next;
    --record->size;
    release(removed);
    return P_OK;
}

extern "C" int P_deleteVar(int tree, const char *name)
{
    SymbolNode **root = getTreeRootByIndex(tree);
    if (root == nullptr)
        return P_NOTREE;
    return delNameWithBalance(root, name) == 0 ? P_OK : P_NOVAR;
}

extern "C" void delGroupVar(SymbolNode **link, SymbolNode **root, int group)
{
    if (link == nullptr)
        return;
    treekeep::walkPostOrder(*link, [&](SymbolNode *node) {
        if (node->name != nullptr && node->varInfo != nullptr && node->varInfo->group == group)
            delName(root, node->name);
    });
}

extern "C" int P_deleteGroupVar(int tree, int group)
{
    SymbolNode **root = getTreeRootByIndex(tree);
    if (root == nullptr)
        return P_NOTREE;
    if (goodGroupIndex(group) == 0)
        return P_GROUP;
    delGroupVar(root, root, group);
    balance(root);
    return P_OK;
}

extern "C" void prunetree(SymbolNode **link, SymbolNode **root, SymbolNode **reference)
{
    if (link == nullptr)
        return;
    treekeep::walkPostOrder(*link, [&](SymbolNode *node) {
        if (node->name != nullptr && node->varInfo != nullptr &&
            rfindVar(node->name, reference) == nullptr)
            delName(root, node->name);
    });
}

extern "C" int P_pruneTree(int tree, int refTree)
{
    SymbolNode **root = getTreeRootByIndex(tree);
    if (root == nullptr)
        return P_NOTREE;
    SymbolNode **reference = getTreeRootByIndex(refTree);
    if (reference == nullptr)
        return P_NOTREE;
    prunetree(root, root, reference);
    balance(root);
    return P_OK;
}
