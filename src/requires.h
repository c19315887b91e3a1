// REQUIRES(condition): a function's precondition, checked where it is stated.
// Debug builds and the sanitizer build stop at a broken one with its place
// and text on the error stream; optimised builds compile the check away, so
// it may stand at the top of functions on the game's hot paths.
#pragma once

#if !defined(NDEBUG) || defined(PLOTWRIGHT_CHECK_CONTRACTS)
#include <cstdio>
#include <cstdlib>

#define REQUIRES(condition)                                                                    \
  do {                                                                                         \
    if (!(condition)) {                                                                        \
      std::fprintf(stderr, "%s:%d: requirement broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                            \
    }                                                                                          \
  } while (false)
#else
#define REQUIRES(condition) static_cast<void>(sizeof(condition))
#endif
