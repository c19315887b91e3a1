#include "reports/html.h"

#include <cmath>

#include "textio/edit.h"

namespace plotwright {

std::string HtmlEscaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string NumberOrDash(double value, int decimals) {
  return std::isfinite(value) ? Fixed(value, decimals) : "&#8212;";
}

}  // namespace plotwright
