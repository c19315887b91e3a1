// The exact decimal conversions against the standard library's on any text:
// the same end, the same error and the same double when reading; the same
// text when writing the double whose bytes start the input, with the number
// of decimals its next byte gives, into a field as wide as the byte after.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "fuzz_support.h"
#include "textio/decimal_conversion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  double expected = -7.5, value = -7.5;
  const auto library = std::from_chars(text, text + size, expected);
  const auto exact = plotwright::exact_decimal::ReadDouble(text, text + size, value);
  FUZZ_EXPECT(exact.ptr == library.ptr && exact.ec == library.ec);
  FUZZ_EXPECT(std::bit_cast<std::uint64_t>(value) == std::bit_cast<std::uint64_t>(expected) ||
              (std::isnan(value) && std::isnan(expected) && std::signbit(value) == std::signbit(expected)));

  if (size < 10) return 0;
  double number = 0;
  std::memcpy(&number, data, sizeof number);
  if (std::isnan(number)) return 0;  // libraries differ on a NaN's text; the game prints none
  const int decimals = data[8] % 64 - 1;
  char wanted[400], written[400];
  char* const wantedEnd = wanted + 8 + data[9] % (sizeof wanted - 8);
  char* const writtenEnd = written + (wantedEnd - wanted);
  const auto libraryText = std::to_chars(wanted, wantedEnd, number, std::chars_format::fixed, decimals);
  const auto exactText = plotwright::exact_decimal::WriteFixed(written, writtenEnd, number, decimals);
  FUZZ_EXPECT(exactText.ec == libraryText.ec && exactText.ptr - written == libraryText.ptr - wanted);
  FUZZ_EXPECT(exactText.ec != std::errc() ||
              std::string_view(written, exactText.ptr) == std::string_view(wanted, libraryText.ptr));
  return 0;
}
