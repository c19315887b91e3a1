#include "textio/edit.h"

#include <cmath>
#include <cstdio>

#include "textio/decimal_conversion.h"

namespace plotwright {
namespace {

std::string RightJustify(const std::string& digits, int width) {
  if (static_cast<int>(digits.size()) > width) return std::string(static_cast<std::size_t>(width), '*');
  return std::string(static_cast<std::size_t>(width) - digits.size(), ' ') + digits;
}

}  // namespace

std::string EditI(long long value, int width) { return RightJustify(std::to_string(value), width); }

std::string EditF(double value, int width, int decimals) {
  if (!std::isfinite(value)) return std::string(static_cast<std::size_t>(width), '*');
  // WriteFixed rounds the exact binary value to nearest, ties to even, and
  // keeps the sign of a negative value that rounds to zero.
  char buffer[400];
  auto [end, error] = WriteFixed(buffer, buffer + sizeof buffer, value, decimals);
  if (error != std::errc()) return std::string(static_cast<std::size_t>(width), '*');
  std::string text(buffer, end);
  if (decimals == 0) text += '.';
  // A leading zero before the point is optional: drop it when the field is tight.
  if (static_cast<int>(text.size()) > width) {
    if (text.rfind("0.", 0) == 0) {
      text.erase(0, 1);
    } else if (text.rfind("-0.", 0) == 0) {
      text.erase(1, 1);
    }
  }
  return RightJustify(text, width);
}

std::string ShownField(std::string_view field) {
  std::string shown;
  for (char c : field.substr(0, 24)) shown += (c >= 32 && c < 127) ? c : '?';
  if (field.size() > 24) shown += "...";
  return shown;
}

namespace {

// The length of the UTF-8 character that starts `text`, 0 when none does;
// `code` receives it.
std::size_t Utf8Character(std::string_view text, unsigned& code) {
  const auto byte = static_cast<unsigned char>(text[0]);
  std::size_t length = byte < 0x80                    ? 1
                       : byte >= 0xC2 && byte <= 0xDF ? 2
                       : byte >= 0xE0 && byte <= 0xEF ? 3
                       : byte >= 0xF0 && byte <= 0xF4 ? 4
                                                      : 0;
  if (length == 0 || length > text.size()) return 0;
  code = length == 1 ? byte : byte & (0x7Fu >> length);
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[k]);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3F);
  }
  constexpr unsigned kLowest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kLowest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

std::string ShownText(std::string_view text, std::size_t most) {
  std::string shown;
  std::size_t characters = 0;
  while (!text.empty()) {
    if (characters == most) return shown + "...";
    unsigned code = 0;
    const std::size_t length = Utf8Character(text, code);
    const bool control = code < 0x20 || (code >= 0x7F && code <= 0x9F);
    if (length == 0 || control) {
      shown += '?';
    } else {
      shown.append(text.substr(0, length));
    }
    text.remove_prefix(length == 0 ? 1 : length);
    ++characters;
  }
  return shown;
}

std::string Fixed(double value, int decimals) {
  char text[400];  // room for the largest double's integer digits
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string EditA(std::string_view text, int width) {
  std::string field(text.substr(0, static_cast<std::size_t>(width)));
  field.resize(static_cast<std::size_t>(width), ' ');
  return field;
}

}  // namespace plotwright
