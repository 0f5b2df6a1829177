// Whole-tree reset, creation of one parameter and clearing of its values.
#include "list_release.h"
#include "treekeep_internal.h"

extern "C" int P_treereset(int tree)
{
    SymbolNode **root = getTreeRoot(getRoot(tree));
    if (root == nullptr)
        return P_NOTREE;
    tossVars(root);
    return P_OK;
}

extern "C" int P_creatvar(int tree, const char *name, int type)
{
    SymbolNode **root = getTreeRoot(getRoot(tree));
    if (root == nullptr)
        return P_NOTREE;
    if (goodName(name) == 0)
        return P_BADNAME;
    return RcreateVar(name, root, type) != nullptr ? P_OK : P_MALLOC;
}

extern "C" void clearVar(const char *name)
{
    varInfo *record = findVar(name);
    if (record == nullptr)
        return;
    // Lists of an unknown type still go back (as reals, never as texts).
    treekeep::emptyLists(*record);
    record->type = T_UNDEF;
    record->enumType = T_UNDEF;
}
