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

// Stops the run, which libFuzzer reports with the input, when `holds` is false.
inline void Expect(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "does not hold: %s\n", what);
  std::abort();
}
#define FUZZ_EXPECT(condition) ::plotwright::fuzz::Expect((condition), #condition)

}  // namespace plotwright::fuzz
