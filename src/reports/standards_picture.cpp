#include "reports/standards_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "game/standards.h"
#include "reports/html.h"

namespace plotwright {

const char kStandardsPictureStyle[] = R"(
.picture { width: 100%; max-width: 520px; height: auto; font-size: 11px; }
.picture .standards { fill: #d8efd8; stroke: #3a7d3a; stroke-dasharray: 4 3; } .picture .axis { stroke: #444; }
.picture .kept { fill: #1f4fa0; fill-opacity: 0.75; } .picture .dropped { stroke: #a9a9a9; stroke-width: 1; fill: none; }
.picture .released { fill: none; stroke: #c0392b; stroke-width: 2.5; }
.picture .beyond { fill: #7a4a00; } .picture .typedback { stroke: #1e7b34; stroke-width: 1.6; fill: none; }
)";

namespace {

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

constexpr double kWidth = 520, kHeight = 360, kLeft = 52, kBottom = 40, kTop = 14, kRight = 14;
// The widest the axes go: a value beyond them is drawn at the edge, marked.
constexpr double kProteinAxisLowest = 4, kProteinAxisHighest = 20, kFhbAxisHighest = 40;

// "2nd", "3rd", "11th", ...
std::string Ordinal(std::size_t n) {
  const std::size_t last = n % 10, lastTwo = n % 100;
  const char* suffix = lastTwo >= 11 && lastTwo <= 13 ? "th"
                       : last == 1                    ? "st"
                       : last == 2                    ? "nd"
                       : last == 3                    ? "rd"
                                                      : "th";
  return std::to_string(n) + suffix;
}

// A small triangle beside a point drawn at the picture's edge, pointing to
// where its value lies.
std::string BeyondMark(double cx, double cy, int across, int up) {
  const double tipX = cx + 7 * across, tipY = cy - 7 * up;
  const double sideX = 3.5 * (up != 0 ? 1 : 0), sideY = 3.5 * (across != 0 ? 1 : 0);
  const double baseX = cx + 3 * across, baseY = cy - 3 * up;
  return "<path class=\"beyond\" d=\"M" + Number(tipX) + " " + Number(tipY) + "L" + Number(baseX + sideX) + " " +
         Number(baseY + sideY) + "L" + Number(baseX - sideX) + " " + Number(baseY - sideY) + "Z\"/>";
}

}  // namespace

std::string StandardsPicture(const std::string& label, const std::vector<PicturePoint>& points, std::size_t most) {
  double pLow = 8, pHigh = 13, fHigh = 6;
  for (const PicturePoint& point : points) {
    pLow = std::max(kProteinAxisLowest, std::min(pLow, std::floor(point.Protein)));
    pHigh = std::min(kProteinAxisHighest, std::max(pHigh, std::ceil(point.Protein)));
    fHigh = std::min(kFhbAxisHighest, std::max(fHigh, std::ceil(point.Fhb)));
  }
  const double plotW = kWidth - kLeft - kRight, plotH = kHeight - kTop - kBottom;
  const auto xAt = [&](double protein) { return kLeft + (protein - pLow) / (pHigh - pLow) * plotW; };
  const auto yAt = [&](double fhb) { return kTop + (1 - std::max(0.0, fhb) / fHigh) * plotH; };
  const auto x = [&](double protein) { return Number(xAt(protein)); };
  const auto y = [&](double fhb) { return Number(yAt(fhb)); };
  const auto line = [](const std::string& x1, const std::string& y1, const std::string& x2, const std::string& y2) {
    return "<line class=\"axis\" x1=\"" + x1 + "\" y1=\"" + y1 + "\" x2=\"" + x2 + "\" y2=\"" + y2 + "\"/>";
  };
  const auto text = [](const std::string& x, const std::string& y, const char* anchor, const std::string& words) {
    return "<text x=\"" + x + "\" y=\"" + y + "\" text-anchor=\"" + anchor + "\">" + words + "</text>";
  };
  std::string svg = "<svg class=\"picture\" viewBox=\"0 0 520 360\" role=\"img\" aria-label=\"" + HtmlEscaped(label) +
                    ": true protein across, true Fhb up; the table beside it says the same\">";
  const double boxTop = yAt(kFhbHighest), boxLeft = xAt(kProteinLowest), boxRight = xAt(kProteinHighest);
  svg += "<rect class=\"standards\" x=\"" + Number(boxLeft) + "\" y=\"" + Number(boxTop) + "\" width=\"" +
         Number(boxRight - boxLeft) + "\" height=\"" + Number(kTop + plotH - boxTop) + "\"/>";
  const std::string bottom = y(0);
  for (double p = pLow; p <= pHigh + 1e-9; p += pHigh - pLow > 8 ? 2 : 1) {
    svg += line(x(p), bottom, x(p), Number(kTop + plotH + 5));
    svg += text(x(p), Number(kTop + plotH + 18), "middle", Number(p).substr(0, Number(p).size() - 2));
  }
  for (double f = 0; f <= fHigh + 1e-9; f += fHigh > 20 ? 5 : 2) {
    svg += line(Number(kLeft - 5), y(f), Number(kLeft), y(f));
    svg += text(Number(kLeft - 8), Number(yAt(f) + 4), "end", Number(f).substr(0, Number(f).size() - 2));
  }
  svg += line(Number(kLeft), bottom, Number(kWidth - kRight), bottom);
  svg += line(Number(kLeft), Number(kTop), Number(kLeft), bottom);
  svg += text(Number(kLeft + plotW / 2), Number(kHeight - 4), "middle", "protein [%]");
  svg += "<text x=\"14\" y=\"" + Number(kTop + plotH / 2) + "\" text-anchor=\"middle\" transform=\"rotate(-90 14 " +
         Number(kTop + plotH / 2) + ")\">Fhb [%]</text>";
  std::string note;
  for (const std::string_view kind : {"dropped", "kept", "typedback", "released"}) {
    std::size_t count = 0;
    for (const PicturePoint& point : points) count += point.Kind == kind ? 1 : 0;
    const std::size_t every = std::max<std::size_t>(1, (count + most - 1) / std::max<std::size_t>(1, most));
    if (every > 1)
      note += " every " + Ordinal(every) + " " + std::string(kind == "typedback" ? "typed-back" : kind) + " entry,";
    std::size_t seen = 0;
    for (const PicturePoint& point : points) {
      if (point.Kind != kind || seen++ % every != 0) continue;
      const std::string title = point.Title.empty() ? "" : "<title>" + HtmlEscaped(point.Title) + "</title>";
      // A value beyond the axes is drawn at their edge, marked.
      const int across = point.Protein < pLow ? -1 : point.Protein > pHigh ? 1 : 0;
      const int up = point.Fhb > fHigh ? 1 : 0;
      const double protein = std::clamp(point.Protein, pLow, pHigh), fhb = std::min(point.Fhb, fHigh);
      const double cx = xAt(protein), cy = yAt(fhb);
      if (kind == "dropped") {
        svg += "<path class=\"dropped\" d=\"M" + Number(cx - 2.5) + " " + Number(cy - 2.5) + "l5 5m0-5l-5 5\">" +
               title + "</path>";
      } else if (kind == "typedback") {
        svg += "<path class=\"typedback\" d=\"M" + Number(cx - 3.5) + " " + Number(cy) + "h7m-3.5-3.5v7\">" + title +
               "</path>";
      } else {
        svg += "<circle class=\"" + std::string(kind) + "\" cx=\"" + x(protein) + "\" cy=\"" + y(fhb) + "\" r=\"" +
               (kind == "released" ? "7" : "2.6") + "\">" + title + "</circle>";
      }
      if (across != 0 || up != 0) svg += BeyondMark(cx, cy, across, up);
    }
  }
  svg += "</svg>";
  if (!note.empty()) {
    note.pop_back();
    svg += "<p class=\"note\">A sample is drawn:" + note + ".</p>";
  }
  return svg;
}

}  // namespace plotwright
