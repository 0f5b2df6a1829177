/*
 * errsink.h - the environment's error sink (stand-in).
 *
 * Werrprintf() emits one error message.  By default the message goes to
 * standard error; a hook can capture messages instead (tests, tools).
 */
#ifndef PSENV_ERRSINK_H
#define PSENV_ERRSINK_H

#include "psenv_extern.h"

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Format like printf and emit the text verbatim, followed by one newline
 * unless the text already ends with one.  The result is the number of bytes
 * of the formatted text (without an added newline), or -1 when formatting
 * failed.  Messages of any length are emitted whole.
 */
PSENV_EXTERN(int) Werrprintf(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

/*
 * Receiver of emitted messages.  `text` is the formatted text as emitted
 * (newline included), valid only during the call.
 */
typedef void (*werr_hook)(const char *text, void *context);

/*
 * Route messages to `hook` instead of standard error; NULL restores standard
 * error.  Returns the previous hook.
 */
PSENV_EXTERN(werr_hook) Werrprintf_set_hook(werr_hook hook, void *context);

#ifdef __cplusplus
}
#endif

#endif
