// What the fuzz targets share: a console that reads nothing and keeps what
// it is told, and a stop that libFuzzer reports as a crash when a property
// of the game does not hold.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "textio/console.h"

namespace plotwright::fuzz {

struct SilentConsole {
  std::istringstream In;
  std::ostringstream Out;
  Console Console_ = MakeConsole(In, Out, Out);
};

#define FUZZ_EXPECT(condition)                                                            \
  do {                                                                                    \
    if (!(condition)) {                                                                   \
      std::fprintf(stderr, "%s:%d: does not hold: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                       \
    }                                                                                     \
  } while (false)

}  // namespace plotwright::fuzz
