// Small pieces the teacher's pages (the debrief, the class summary) are
// written with.
#pragma once

#include <string>
#include <string_view>

namespace plotwright {

// Text made safe inside HTML.
std::string HtmlEscaped(std::string_view text);

// A number with `decimals` places, or a dash where there is none (NaN: a
// correlation that is not defined).
std::string NumberOrDash(double value, int decimals);

}  // namespace plotwright
