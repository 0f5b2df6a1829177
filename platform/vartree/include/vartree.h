/*
 * vartree.h - the environment's variable-tree component (stand-in).
 *
 * The component owns the parameter trees, their nodes, the parameter records
 * (varInfo) and their value lists.  Callers get records by name and work on
 * them in place; they never keep a reference between calls.
 *
 * Trees 0..4 exist from process start, empty: "global" (0), "current" (1),
 * "processed" (2), "scratch" (3) and "system" (4).  Any other index names no
 * tree.
 *
 * A tree is a binary search tree ordered by strcmp() of the names.  It stays
 * shallow: an insertion that makes a path longer than a bound logarithmic in
 * the node count (log1.5 n plus a dozen levels) rebuilds the subtree that is
 * out of balance, so no walk over a tree built here can exhaust the stack.
 * The bound leaves room for bulk insertions in the order a save writes them
 * (pre-order) to land without rebuilds; balance() after them makes the tree
 * perfectly balanced.
 *
 * Each tree keeps its nodes and value lists in an arena of the allocator
 * (memalloc_arena.h) tied to its root link, so that tossVars() returns them
 * all at once.  A tree therefore stays under the root link it was built
 * under; relinking its nodes under another root link by hand is not
 * supported.
 *
 * Not thread-safe; callers serialise their use of a tree.
 */
#ifndef PSENV_VARTREE_H
#define PSENV_VARTREE_H

#include "psenv_extern.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Indices of the five trees, for callers that name a tree rather than
   number it.  "current" holds the experiment being set up; "system" the
   console's own parameters (the console type among them). */
enum vartree_index {
    VARTREE_GLOBAL = 0,
    VARTREE_CURRENT = 1,
    VARTREE_PROCESSED = 2,
    VARTREE_SCRATCH = 3,
    VARTREE_SYSTEM = 4
};

/* Type codes of value lists. */
#define T_UNDEF 0
#define T_REAL 1
#define T_STRING 2

/* One value of a list; `string` texts belong to the node. */
typedef struct ValueNode {
    union {
        double real;     /* lists of type T_REAL */
        char *string;    /* lists of type T_STRING */
    };
    struct ValueNode *next;
} ValueNode;

/* One parameter. */
typedef struct varInfo {
    short active;        /* 0 = inactive */
    short dgroup;        /* second group number, not interpreted */
    short group;         /* parameter group */
    short subtype;       /* not interpreted */
    int prot;            /* protection bits */
    double min, max, step;
    short size;          /* number of values */
    short type;          /* T_REAL, T_STRING or T_UNDEF */
    ValueNode *values;
    short enumCount;     /* number of enumeration entries */
    short enumType;
    ValueNode *enumValues;
} varInfo;

/* One tree node; `name` belongs to the node. */
typedef struct SymbolNode {
    char *name;
    struct varInfo *varInfo;  /* the elaborated form keeps C++ happy */
    struct SymbolNode *left;
    struct SymbolNode *right;
} SymbolNode;

/* Allocator tag of texts made by the string helpers for the file readers. */
#define VARTREE_NAME_TAG "rnfd"

/* ---- trees ------------------------------------------------------------ */

/*
 * Name of tree `tree`.  For an index that names no tree the result is a text
 * that getTreeRoot() refuses.  Never NULL; the text is static.
 */
PSENV_EXTERN(const char *) getRoot(int tree);

/* Root link of the tree called `name`, or NULL when there is none. */
PSENV_EXTERN(SymbolNode **) getTreeRoot(const char *name);

/* Same as getTreeRoot(getRoot(tree)). */
PSENV_EXTERN(SymbolNode **) getTreeRootByIndex(int tree);

/* ---- records ---------------------------------------------------------- */

/* Record of `name` in the tree at `root`, or NULL (also for NULL args). */
PSENV_EXTERN(varInfo *) rfindVar(const char *name, SymbolNode **root);

/* Record of `name` searched in trees 1, 0 and 4 in that order, or NULL. */
PSENV_EXTERN(varInfo *) findVar(const char *name);

/*
 * Create the record `name` in the tree at `root` with value type `type`.
 * A new record has `active` 1, every other field 0 and empty lists.  When
 * the name exists, its record is emptied (lists released, counts 0) and given
 * the type; no second node is made.  Fails only for an empty or NULL name, a
 * name longer than 255 bytes, a NULL root or when memory runs out; then NULL.
 * RcreateVar() and RcreateUVar() behave alike.
 */
PSENV_EXTERN(varInfo *) RcreateVar(const char *name, SymbolNode **root, int type);
PSENV_EXTERN(varInfo *) RcreateUVar(const char *name, SymbolNode **root, int type);

/*
 * Assignment of one value to the value list (assignReal, assignString) or
 * the enumeration list (assignEReal, assignEString) of `v`.
 *   index 0         : the list becomes exactly this value, and its type
 *                     (`type` or `enumType`) the value's kind;
 *   index 1..count  : replaces that value;
 *   index count + 1 : appends;
 * the last two only when the list's type matches the value's kind (an empty
 * list of type 0 takes the value's kind).  Any other index, a kind mismatch,
 * a NULL record or running out of memory gives 0 and changes nothing;
 * success gives 1.  `active` is never changed.  Texts are copied.
 * Appending costs O(1).
 */
PSENV_EXTERN(int) assignReal(double value, varInfo *v, int index);
PSENV_EXTERN(int) assignString(const char *value, varInfo *v, int index);
PSENV_EXTERN(int) assignEReal(double value, varInfo *v, int index);
PSENV_EXTERN(int) assignEString(const char *value, varInfo *v, int index);

/*
 * Free a whole list (texts too for disposeStringRvals).  NULL is accepted.
 * The caller clears the list head and its count afterwards.
 */
PSENV_EXTERN(void) disposeRealRvals(ValueNode *list);
PSENV_EXTERN(void) disposeStringRvals(ValueNode *list);

/*
 * Remove `name` from the tree without rebalancing.  A post-order walk
 * running over the same tree still reaches every node it has yet to visit.
 * 0 when removed, -1 when absent.
 */
PSENV_EXTERN(int) delName(SymbolNode **root, const char *name);

/* Remove `name` and rebuild the tree balanced; 0 removed, -1 absent. */
PSENV_EXTERN(int) delNameWithBalance(SymbolNode **root, const char *name);

/* Rebuild the tree perfectly balanced. */
PSENV_EXTERN(void) balance(SymbolNode **root);

/* Remove every entry; the root link becomes NULL. */
PSENV_EXTERN(void) tossVars(SymbolNode **root);

/*
 * 1 when `name` is acceptable as a parameter name: 1..255 bytes, the first
 * an ASCII letter, '_' or '$', the rest ASCII letters, digits, '_' or '$'.
 */
PSENV_EXTERN(int) goodName(const char *name);

/* 1 for a valid group number (0..7), else 0. */
PSENV_EXTERN(int) goodGroupIndex(int group);

/*
 * New text copying `text` (newStringId) or joining `first` and `more`
 * (newCatId), allocated under `tag` (see memalloc.h); free it with release()
 * or releaseAllWithId(tag).  NULL when memory runs out.
 */
PSENV_EXTERN(char *) newStringId(const char *text, const char *tag);
PSENV_EXTERN(char *) newCatId(const char *first, const char *more, const char *tag);

#ifdef __cplusplus
}
#endif

#endif
