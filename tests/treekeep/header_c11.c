/* The header of parameter-file integrity compiles as C11 on its own, and a
   C program walks and releases what it hands out. */
#include <string.h>

#include "treekeep_files.h"

int treekeep_files_c11_check(const char *bytes, long *first_line, long *records);
int treekeep_files_c11_refusal(const char *path, char *message, size_t size);

/* The verdict of `bytes` with repeats; the first problem's line and the
   number of records through the pointers. */
int treekeep_files_c11_check(const char *bytes, long *first_line, long *records)
{
    P_filecheck check = {0};
    int verdict = P_checkbytes(bytes, strlen(bytes), P_CHECK_FIND_REPEATS, &check);
    *first_line = check.problemCount > 0 ? check.problems[0].line : 0;
    *records = (long)check.recordCount;
    P_freecheck(&check);
    /* Released lists are empty, and releasing again changes nothing. */
    if (check.problems != NULL || check.records != NULL || check.problemCount != 0)
        return -1000;
    P_freecheck(&check);
    return verdict;
}

/* The code of an edit of `path` (never saved), its message into `message`. */
int treekeep_files_c11_refusal(const char *path, char *message, size_t size)
{
    P_edit *edit = NULL;
    int code = P_editbegin(path, 0, 0.0, &edit);
    const char *words = P_editmessage(edit);
    message[0] = '\0';
    if (words != NULL && size > 0) {
        strncpy(message, words, size - 1);
        message[size - 1] = '\0';
    }
    P_editend(edit);
    return code;
}
