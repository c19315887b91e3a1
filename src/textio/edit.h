// Edit descriptors: the small output primitives from which every formatted
// record of the console and the results file is assembled. A number that does
// not fit its field is shown as a field of asterisks, never cut.
#pragma once

#include <string>
#include <string_view>

namespace plotwright {

// Iw: the integer right-justified in `width` columns, minus sign for negatives.
std::string EditI(long long value, int width);

// Fw.d: the value rounded to `decimals` places (to nearest, ties to even on
// the exact binary value), right-justified in `width` columns. A negative
// value that rounds to zero keeps its minus sign; with no decimals the point
// is still written ("250000."). NaN and infinities print as asterisks.
std::string EditF(double value, int width, int decimals);

// Text from outside the game (a record, the name of a file) as one console
// line may show it: letters of any script kept, control characters and bytes
// that are not UTF-8 shown as '?', at most `most` characters, "..." after a
// longer one.
std::string ShownText(std::string_view text, std::size_t most);

// The value with exactly `decimals` places and nothing around it, as the
// teacher's pages show numbers ("12.35", "-0.40", "250000"; C's "%.*f").
std::string Fixed(double value, int decimals);

// Aw: the text cut or blank-padded to exactly `width` columns.
std::string EditA(std::string_view text, int width);

// A field of a file as a message quotes it: at most 24 characters, "..."
// after a longer one, anything unprintable shown as '?'.
std::string ShownField(std::string_view field);

}  // namespace plotwright
