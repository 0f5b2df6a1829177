/*
 * psenv_extern.h - how the chief headers mark the C interface.
 *
 * The libraries are compiled with hidden visibility: a shared library
 * exports exactly the functions and variables its chief header declares
 * with PSENV_EXTERN(type), and nothing of the C++ inside.  Static libraries
 * are unaffected.
 *
 * Compiles as C11 and as C++.
 */
#ifndef PSENV_EXTERN_H
#define PSENV_EXTERN_H

#if defined(__GNUC__) || defined(__clang__)
#define PSENV_EXTERN(type) extern __attribute__((visibility("default"))) type
#else
#define PSENV_EXTERN(type) extern type
#endif

#endif
