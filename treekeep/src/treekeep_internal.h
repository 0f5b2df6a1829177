/*
 * Operations of the parameter store used between its own files and by its
 * tests; not part of the installed interface.
 */
#ifndef PSENV_TREEKEEP_INTERNAL_H
#define PSENV_TREEKEEP_INTERNAL_H

#include <stdio.h>

#include "treekeep.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Buffer sizes of the loaders: names and quoted strings. */
#define TREEKEEP_NAME_BUFFER 256
#define TREEKEEP_STRING_BUFFER 1024

/*
 * The message P_err hands to the error sink, into `message`, which holds
 * P_ERR_MESSAGE_MAX + 1 bytes.
 */
void wordCode(int code, const char *first, const char *second, char *message);

/*
 * Write one record to `file`; 0, or P_WRITE when a write fails (the stream's
 * error flag counts) or an argument is NULL.  The record may then be partly
 * written.
 */
int storeOnDisk(const char *name, varInfo *record, FILE *file);

/*
 * Read one quoted string into `buffer` (`length` bytes, 1024 by every
 * caller): the number of characters stored, or -1 when the file ends before
 * an opening quote or inside the string.
 */
int rscanf(FILE *file, char *buffer, int length);

/* copytodisk limited to records with P_PROT_UNSHARED. */
int copyUnsharedToDisk(SymbolNode **root, FILE *stream);

/*
 * Tree walks behind the P_ operations of tree management.
 *
 * copyVar: copy `source` as `name` into the tree at `destination`; nothing
 * happens when the record found there is `source` itself or when the record
 * cannot be made.  An existing record's lists are released by their own
 * kinds.  copyGVars and delGroupVar/prunetree walk in post-order,
 * copyAllVars in pre-order.  clearVar empties both lists of the record
 * findVar() gives (any type's lists are released) and sets `size`,
 * `enumCount`, `type` and `enumType` to 0.
 */
void copyVar(const char *name, varInfo *source, SymbolNode **destination);
void copyGVars(SymbolNode **link, SymbolNode **destination, int group);
void copyAllVars(SymbolNode **link, SymbolNode **destination);
void delGroupVar(SymbolNode **link, SymbolNode **root, int group);
void prunetree(SymbolNode **link, SymbolNode **root, SymbolNode **reference);
void clearVar(const char *name);

#ifdef __cplusplus
}
#endif

#endif
