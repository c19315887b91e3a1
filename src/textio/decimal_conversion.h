// Reals to and from decimal text, exactly and whatever the locale: the two
// conversions behind every number the game reads or prints. Where the standard
// library has them, these are its own std::from_chars and std::to_chars; where
// it lacks them (libc++ reads no doubles; older libc++ builds write none, Apple's
// before macOS 13.3 among them) the exact conversions of `exact_decimal` stand
// in, chosen once when the game is configured (cmake/DecimalConversions.cmake).
#pragma once

#include <charconv>

namespace plotwright {

// Reads a double from [first, last) as std::from_chars(first, last, value)
// does: an optional minus sign, then digits with an optional point and an
// optional exponent (e or E, optional sign, digits), or inf, infinity, nan or
// nan(letters, digits, underscores), in any case; no blanks and no plus sign.
// Rounds to nearest, ties to even. On no match: {first, invalid_argument}. A
// value that overflows or rounds to zero from non-zero digits leaves `value`
// unchanged and gives result_out_of_range with ptr past the match.
std::from_chars_result ReadDouble(const char* first, const char* last, double& value);

// Writes `value` with exactly `decimals` places (6 when negative) as
// std::to_chars(first, last, value, std::chars_format::fixed, decimals) does:
// the exact binary value rounded to nearest, ties to even; a minus sign on
// every negative value and on -0; "inf" or "-inf" for infinities. A NaN gives
// "nan" or "-nan" here, but libraries differ on its text (libc++ marks a
// signalling one): the game never prints one. When the text does not fit:
// {last, value_too_large}.
std::to_chars_result WriteFixed(char* first, char* last, double value, int decimals);

// The same two conversions without the library's help, with the same results:
// big-integer arithmetic on the exact decimal and binary values. Always
// compiled, so that the tests can hold them to the library's results.
namespace exact_decimal {
std::from_chars_result ReadDouble(const char* first, const char* last, double& value);
std::to_chars_result WriteFixed(char* first, char* last, double value, int decimals);
}  // namespace exact_decimal

}  // namespace plotwright
