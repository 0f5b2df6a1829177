/*
 * vartree_testing.h - inspection helpers of the variable-tree stand-in.
 */
#ifndef PSENV_VARTREE_TESTING_H
#define PSENV_VARTREE_TESTING_H

#include "vartree.h"

#include "psenv_extern.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Number of nodes on the longest root-to-leaf path (0 for an empty tree). */
PSENV_EXTERN(int) vartree_depth(SymbolNode **root);

/* Number of nodes in the tree. */
PSENV_EXTERN(long) vartree_count(SymbolNode **root);

/* 1 when an in-order walk gives strictly increasing names, else 0. */
PSENV_EXTERN(int) vartree_ordered(SymbolNode **root);

#ifdef __cplusplus
}
#endif

#endif
