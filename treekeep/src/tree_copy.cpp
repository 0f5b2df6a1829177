// Copies of one parameter, of one group and of a whole tree into another
// tree.
#include "list_release.h"
#include "tree_walk.h"
#include "treekeep_internal.h"

namespace {

// The kind of the enumeration entries: the list's own type when it records
// one, else the value list's.  A record may hold reals as values and texts
// as enumeration entries or the other way round.
int enumerationKind(const varInfo &record)
{
    if (record.enumType == T_REAL || record.enumType == T_STRING)
        return record.enumType;
    return record.type;
}

// Append the first `count` entries of `list` (fewer when it ends early) to
// an empty list of `target`; false when an assignment is refused.
bool copyList(const ValueNode *list, int count, int kind, varInfo *target, bool enumeration)
{
    int position = 1;
    for (const ValueNode *node = list; node != nullptr && position <= count;
         node = node->next, ++position) {
        int done;
        if (kind == T_STRING) {
            const char *text = node->string != nullptr ? node->string : "";
            done = enumeration ? assignEString(text, target, position)
                               : assignString(text, target, position);
        } else {
            done = enumeration ? assignEReal(node->real, target, position)
                               : assignReal(node->real, target, position);
        }
        if (done == 0)
            return false;
    }
    return true;
}

// copyVar with its outcome: 0; P_BADNAME or P_MALLOC when the destination
// record cannot be made (nothing changes); P_MALLOC when a value could not
// be assigned (the copy then holds the values before it).
int copyRecord(const char *name, varInfo *source, SymbolNode **destination)
{
    if (source == nullptr)
        return P_NOVAR;
    varInfo *target = rfindVar(name, destination);
    if (target == source)
        return P_OK;
    if (target != nullptr) {
        treekeep::emptyLists(*target);
    } else {
        target = RcreateVar(name, destination, source->type);
        if (target == nullptr)
            return goodName(name) != 0 ? P_MALLOC : P_BADNAME;
    }

    // Untyped empty lists take whatever kind the first entry has, so each
    // list is filled by the kind of the source's entries; the source's type
    // codes, whatever they are, are put back afterwards.
    const int enumKind = enumerationKind(*source);
    target->type = T_UNDEF;
    target->enumType = T_UNDEF;
    bool complete = copyList(source->values, source->size, source->type, target, false);
    complete = copyList(source->enumValues, source->enumCount, enumKind, target, true) && complete;
    target->type = source->type;
    target->enumType = static_cast<short>(enumKind);

    // After the values, so that nothing an assignment does to the fields
    // survives in the copy.
    target->active = source->active;
    target->subtype = source->subtype;
    target->dgroup = source->dgroup;
    target->group = source->group;
    target->prot = source->prot;
    target->min = source->min;
    target->max = source->max;
    target->step = source->step;
    return complete ? P_OK : P_MALLOC;
}

// Copy the records the walk hands over; the first failure is kept, the
// other records are still copied.
class CopyAll {
public:
    explicit CopyAll(SymbolNode **destination) : destination_(destination) {}

    int operator()(SymbolNode *node)
    {
        if (node->name != nullptr && node->varInfo != nullptr)
            keep(copyRecord(node->name, node->varInfo, destination_));
        return P_OK;
    }

    void keep(int result)
    {
        if (result_ == P_OK)
            result_ = result;
    }

    int result() const { return result_; }

private:
    SymbolNode **destination_;
    int result_ = P_OK;
};

int copyGroup(SymbolNode **link, SymbolNode **destination, int group)
{
    if (link == nullptr)
        return P_OK;
    CopyAll copy(destination);
    copy.keep(treekeep::walkPostOrder(*link, [&](SymbolNode *node) {
        if (node->varInfo != nullptr && node->varInfo->group == group)
            copy(node);
    }));
    return copy.result();
}

int copyEvery(SymbolNode **link, SymbolNode **destination)
{
    if (link == nullptr)
        return P_OK;
    CopyAll copy(destination);
    copy.keep(treekeep::walkPreOrder(*link, [&](SymbolNode *node) { return copy(node); }));
    return copy.result();
}

}  // namespace

extern "C" void copyVar(const char *name, varInfo *source, SymbolNode **destination)
{
    copyRecord(name, source, destination);
}

extern "C" int P_copyvar(int fromTree, int toTree, const char *fromName, const char *toName)
{
    SymbolNode **from = getTreeRoot(getRoot(fromTree));
    if (from == nullptr)
        return P_NOTREE;
    SymbolNode **to = getTreeRoot(getRoot(toTree));
    if (to == nullptr)
        return P_NOTREE;
    varInfo *source = rfindVar(fromName, from);
    if (source == nullptr)
        return P_NOVAR;
    return copyRecord(toName, source, to);
}

extern "C" void copyGVars(SymbolNode **link, SymbolNode **destination, int group)
{
    copyGroup(link, destination, group);
}

extern "C" int P_copygroup(int fromTree, int toTree, int group)
{
    if (fromTree == toTree)
        return P_OK;
    SymbolNode **from = getTreeRoot(getRoot(fromTree));
    if (from == nullptr)
        return P_NOTREE;
    SymbolNode **to = getTreeRoot(getRoot(toTree));
    if (to == nullptr)
        return P_NOTREE;
    return copyGroup(from, to, group);
}

extern "C" void copyAllVars(SymbolNode **link, SymbolNode **destination)
{
    copyEvery(link, destination);
}

extern "C" int P_copy(int fromTree, int toTree)
{
    SymbolNode **from = getTreeRoot(getRoot(fromTree));
    if (from == nullptr)
        return P_NOTREE;
    SymbolNode **to = getTreeRoot(getRoot(toTree));
    if (to == nullptr)
        return P_NOTREE;
    if (from == to)
        return P_OK;  // every record would be copied onto itself
    return copyEvery(from, to);
}
