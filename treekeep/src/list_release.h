// Release of a record's lists by the kind of entries each one holds.
#ifndef PSENV_TREEKEEP_LIST_RELEASE_H
#define PSENV_TREEKEEP_LIST_RELEASE_H

#include "treekeep.h"

namespace treekeep {

// Texts are released as texts only under type code 2, so a real is never
// taken for a text; a list of any other code holds reals (or nothing) and
// goes back node by node.  The caller clears the head and the count.
inline void releaseList(ValueNode *head, int type)
{
    if (head == nullptr)
        return;
    if (type == T_STRING)
        disposeStringRvals(head);
    else
        disposeRealRvals(head);
}

// Empty both lists of `record`; the list types are left to the caller.
inline void emptyLists(varInfo &record)
{
    releaseList(record.values, record.type);
    releaseList(record.enumValues, record.enumType);
    record.values = nullptr;
    record.enumValues = nullptr;
    record.size = 0;
    record.enumCount = 0;
}

}  // namespace treekeep

#endif
