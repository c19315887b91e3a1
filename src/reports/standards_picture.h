// A picture of entries against the market standards: true protein across,
// true Fhb up, the standards as a shaded box, drawn as inline SVG so that a
// page holding it needs nothing else.
#pragma once

#include <string>
#include <vector>

namespace plotwright {

struct PicturePoint {
  double Protein = 0, Fhb = 0;
  const char* Kind = "kept";  // the point's style: "kept", "dropped", "typedback" or "released"
  std::string Title;          // shown when pointed at; may be empty
};

// The SVG of the points, at most `most` of each kind (an even sample of the
// rest, said under the picture). `label` names it for screen readers.
std::string StandardsPicture(const std::string& label, const std::vector<PicturePoint>& points, std::size_t most);

// The styles the picture's kinds need, for a page's style sheet.
extern const char kStandardsPictureStyle[];

}  // namespace plotwright
