# Whether the standard library reads and writes doubles with <charconv>, the
# way the game reads and prints every real. libc++ reads none; older libc++
# builds (Apple's before macOS 13.3, a browser build's) write none either.
# Compiling and linking the very calls is the one test that holds for all of
# them (the feature-test macros say nothing for libc++, and Apple's marks the
# functions unavailable by deployment target). Where a call fails, textio's
# exact conversions stand in (textio/decimal_conversion.cpp). Configuring with
# -DPLOTWRIGHT_HAS_DOUBLE_FROM_CHARS=OFF or -DPLOTWRIGHT_HAS_DOUBLE_TO_CHARS=OFF
# puts them in anywhere.
include(CheckCXXSourceCompiles)

check_cxx_source_compiles([[
#include <charconv>
int main() {
  const char text[] = "2.5";
  double value = 0;
  return std::from_chars(text, text + 3, value).ec == std::errc() ? 0 : 1;
}
]] PLOTWRIGHT_HAS_DOUBLE_FROM_CHARS)

check_cxx_source_compiles([[
#include <charconv>
int main() {
  char text[8];
  return std::to_chars(text, text + 8, 2.5, std::chars_format::fixed, 2).ec == std::errc() ? 0 : 1;
}
]] PLOTWRIGHT_HAS_DOUBLE_TO_CHARS)

# Public, so that the tests compare the exact conversions with the library's
# wherever it has them.
function(plotwright_decimal_conversions target)
  target_compile_definitions(${target} PUBLIC
    PLOTWRIGHT_HAS_DOUBLE_FROM_CHARS=$<BOOL:${PLOTWRIGHT_HAS_DOUBLE_FROM_CHARS}>
    PLOTWRIGHT_HAS_DOUBLE_TO_CHARS=$<BOOL:${PLOTWRIGHT_HAS_DOUBLE_TO_CHARS}>)
endfunction()
