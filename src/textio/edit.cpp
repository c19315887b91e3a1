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
