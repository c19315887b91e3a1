#include "reports/debrief_page.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "game/standards.h"
#include "game/tasks.h"
#include "reports/html.h"
#include "reports/standards_picture.h"
#include "textio/edit.h"

namespace plotwright {
namespace {

std::string Escaped(std::string_view text) { return HtmlEscaped(text); }

// A correlation over fewer entries says little: it is shown with a warning.
constexpr int kFewestForACorrelation = 10;

std::string Percent(int part, int whole) { return whole == 0 ? "&#8212;" : Fixed(100.0 * part / whole, 1) + "%"; }

std::string StepTitle(const DebriefStep& step) {
  const TaskItem* task = FindTask(step.Task);
  std::string title = task != nullptr ? task->StepName : "Task";
  if (step.TrialYear > 0) title += ", year " + std::to_string(step.TrialYear);
  if (task != nullptr && task->NamesItsEntries) title += step.OnLines ? " of the lines" : " of the F2 plants";
  return title;
}

struct Best {
  int Entry = -1;
  int Winning = 0;
};

// The entry with the widest margin inside both standards, and how many meet them.
Best BestOf(const std::vector<int>& entries, const std::vector<TraitValues>& truth) {
  Best best;
  double margin = -1e300;
  for (const int i : entries) {
    const TraitValues& values = truth[static_cast<std::size_t>(i)];
    if (MeetsBothStandards(values)) ++best.Winning;
    if (MarginInsideStandards(values) > margin) margin = MarginInsideStandards(values), best.Entry = i;
  }
  return best;
}

// Kept entries as dark dots, dropped ones as light crosses, entries typed
// back after they were dropped as green pluses, at most 2500 of each, and
// the released line ringed.
std::string Picture(const std::string& title, const std::vector<int>& kept, const std::vector<int>& dropped,
                    const std::vector<int>& typedBack, const std::vector<TraitValues>& truth,
                    std::optional<int> released) {
  std::vector<PicturePoint> points;
  points.reserve(dropped.size() + kept.size() + typedBack.size() + 1);
  for (const auto& [entries, kind] :
       {std::pair{&dropped, "dropped"}, std::pair{&kept, "kept"}, std::pair{&typedBack, "typedback"}}) {
    for (const int i : *entries) {
      points.push_back(
          {truth[static_cast<std::size_t>(i)][kProtein], truth[static_cast<std::size_t>(i)][kFhb], kind, ""});
    }
  }
  if (released) {
    const TraitValues& v = truth[static_cast<std::size_t>(*released)];
    points.push_back({v[kProtein], v[kFhb], "released", "the line you released"});
  }
  return StandardsPicture(title, points, 2500);
}

std::string EntryCells(const DebriefFacts& facts, const std::vector<TraitValues>& truth, int entry) {
  if (entry < 0) return "<td>&#8212;</td><td></td><td></td><td></td>";
  const auto i = static_cast<std::size_t>(entry);
  const DebriefCross& cross = facts.Crosses[static_cast<std::size_t>(facts.EntryCross[i])];
  return "<td>" + std::to_string(facts.EntryId[i]) + " (" + std::to_string(cross.First) + " x " +
         std::to_string(cross.Second) + ")</td><td>" + Fixed(truth[i][kProtein], 2) + "</td><td>" +
         Fixed(truth[i][kFhb], 2) + "</td><td>" + (MeetsBothStandards(truth[i]) ? "yes" : "no") + "</td>";
}

const char* kStyle = R"(
body { font-family: system-ui, sans-serif; margin: 0 auto; max-width: 1120px; padding: 0 16px 32px; color: #1b1b1b; }
h1 { font-size: 1.5rem; margin: 16px 0 4px; } h2 { font-size: 1.2rem; margin-top: 28px; border-bottom: 1px solid #ccc; }
h3 { font-size: 1rem; margin: 18px 0 6px; } .note { color: #555; font-size: 0.9rem; margin: 4px 0; }
table { border-collapse: collapse; margin: 6px 0 12px; font-size: 0.92rem; }
th, td { border: 1px solid #ccc; padding: 3px 8px; text-align: right; } th:first-child, td:first-child { text-align: left; }
th { background: #eef2ee; } .steps { display: flex; flex-wrap: wrap; gap: 8px 28px; }
.step { flex: 1 1 500px; max-width: 540px; break-inside: avoid; }
.verdict { font-size: 1.05rem; } .legend span { margin-right: 18px; } .warn { color: #8a4b00; font-size: 0.85rem; }
@media print { body { max-width: none; } h2 { break-after: avoid; } .step, table { break-inside: avoid; } }
)";

}  // namespace

std::string DebriefHtml(const GameRecord& record, const DebriefFacts& facts) {
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<title>Plotwright debrief, seed " +
      SeedText(record.Seed) + "</title>\n<style>" + kStyle + kStandardsPictureStyle + "</style>\n</head>\n<body>\n";
  page += "<h1>Plotwright debrief</h1>\n<p class=\"note\">The game of seed " + SeedText(record.Seed) +
          ", played with Plotwright " + Escaped(record.Version) + " on " + Escaped(record.Platform) +
          ". Everything here comes from the true genotypic values, which the game shows only for the line "
          "released: what was really in your population, and how well your information and your choices found "
          "it. The standards: protein from 9 to 12 percent, Fhb at most 5 percent (the green box).</p>\n";

  const std::vector<TraitValues>& finalTruth = facts.LineTruth.empty() ? facts.PlantTruth : facts.LineTruth;
  if (facts.Released) {
    const ReleasedLine& line = *facts.Released;
    page += "<p class=\"verdict\">You released line " + std::to_string(line.Id) + " (" +
            std::to_string(line.Parents[0]) + " x " + std::to_string(line.Parents[1]) + "): protein " +
            Fixed(line.Values[kProtein], 2) + "%, Fhb " + Fixed(line.Values[kFhb], 2) + "%. It " +
            (line.Judged == Verdict::kBothStandardsMet ? "meets both standards." : "does not meet both standards.") +
            "</p>\n";
  } else {
    page += "<p class=\"verdict\">The game ended without a release.</p>\n";
  }

  // The crosses.
  page +=
      "<h2>Your crosses</h2>\n<p class=\"note\">Every F2 plant of a cross becomes an inbred line once lines "
      "are made; the share is of all of them, kept or not, and says how rich in winning lines the cross "
      "was.</p>\n<table><tr><th>Cross</th><th>F2 plants</th><th>Lines meeting both standards</th>"
      "<th>Share</th></tr>\n";
  for (const DebriefCross& cross : facts.Crosses) {
    page += "<tr><td>" + std::to_string(cross.First) + " x " + std::to_string(cross.Second) + "</td><td>" +
            std::to_string(cross.Plants) + "</td>";
    page += cross.Lines == 0 ? "<td colspan=\"2\">no lines were made</td></tr>\n"
                             : "<td>" + std::to_string(cross.Winning) + "</td><td>" +
                                   Percent(cross.Winning, cross.Lines) + "</td></tr>\n";
  }
  page += "</table>\n";

  // Each step, its picture and its table.
  page +=
      "<h2>Step by step: what you kept and what you dropped</h2>\n<p class=\"legend note\">"
      "<span>&#9679; kept (blue)</span><span>&#215; dropped (grey)</span>"
      "<span>+ typed back after it was dropped (green)</span><span>&#9711; the line you released "
      "(red)</span></p>\n<div class=\"steps\">\n";
  std::optional<int> released;
  if (facts.Released) released = facts.Released->Id - 1;
  for (const DebriefStep& step : facts.Steps) {
    if (step.Task == TaskNumber::kMakeLines) continue;
    const std::vector<TraitValues>& truth = step.OnLines ? facts.LineTruth : facts.PlantTruth;
    std::vector<int> dropped;
    std::set_difference(step.KeptBefore.begin(), step.KeptBefore.end(), step.KeptAfter.begin(), step.KeptAfter.end(),
                        std::back_inserter(dropped));
    std::vector<int> kept;
    std::set_intersection(step.KeptBefore.begin(), step.KeptBefore.end(), step.KeptAfter.begin(), step.KeptAfter.end(),
                          std::back_inserter(kept));
    // Entries the student typed back into the table after dropping them
    // at an earlier step: kept after this one, though not before it.
    std::vector<int> typedBack;
    std::set_difference(step.KeptAfter.begin(), step.KeptAfter.end(), step.KeptBefore.begin(), step.KeptBefore.end(),
                        std::back_inserter(typedBack));
    // The released line is ringed where it was among the step's entries.
    const bool releasedHere = step.OnLines && released &&
                              (std::binary_search(step.KeptBefore.begin(), step.KeptBefore.end(), *released) ||
                               std::binary_search(step.KeptAfter.begin(), step.KeptAfter.end(), *released));
    const std::string title = StepTitle(step);
    page += "<div class=\"step\"><h3>" + Escaped(title) + "</h3>\n";
    page += Picture(title, kept, dropped, typedBack, truth, releasedHere ? released : std::nullopt);
    const auto row = [&truth](const char* what, const std::vector<int>& entries) {
      return std::string("<tr><td>") + what + "</td><td>" + std::to_string(entries.size()) + "</td><td>" +
             std::to_string(BestOf(entries, truth).Winning) + "</td></tr>";
    };
    page += "<table><tr><th></th><th>Entries</th><th>Meeting both standards</th></tr>" + row("kept", kept) +
            row("dropped", dropped);
    if (!typedBack.empty()) page += row("typed back, after an earlier step dropped them", typedBack);
    page += "</table>\n</div>\n";
  }
  page += "</div>\n";

  // The information bought.
  page +=
      "<h2>How good was your information?</h2>\n<p class=\"note\">The correlation of each prediction and "
      "each trial column with the true values, over the entries it measured: 1 would be perfect, 0 no better "
      "than chance. The LSD is the one the game printed above the trial's values.</p>\n"
      "<table><tr><th>Step</th><th>Column</th><th>Locations</th><th>LSD (10%)</th><th>Entries</th>"
      "<th>Correlation with the truth</th></tr>\n";
  for (const DebriefStep& step : facts.Steps) {
    for (const DebriefMeasure& measure : step.Measures) {
      page += "<tr><td>" + Escaped(StepTitle(step)) + "</td><td>" + Escaped(measure.Name) + "</td><td>" +
              (measure.Locations > 0 ? std::to_string(measure.Locations) : "prediction") + "</td><td>" +
              (measure.Locations > 0 ? Fixed(measure.Lsd, 2) : "&#8212;") + "</td><td>" +
              std::to_string(measure.Entries) + "</td><td>" + NumberOrDash(measure.Correlation, 2) +
              (measure.Entries < kFewestForACorrelation && std::isfinite(measure.Correlation)
                   ? " <span class=\"warn\">(over " + std::to_string(measure.Entries) +
                         " entries only: too few to trust)</span>"
                   : "") +
              "</td></tr>\n";
    }
  }
  page += "</table>\n";

  // The money, and what each step bought.
  page +=
      "<h2>The money</h2>\n<table><tr><th>Step</th><th>Dollars</th><th>Entries kept after it</th>"
      "<th>Of them meeting both standards</th><th>Best kept entry (cross)</th><th>Protein</th><th>Fhb</th>"
      "<th>Meets both</th></tr>\n";
  double crossing = 0;
  for (const RecordedCharge& charge : record.Charges) {
    if (charge.Task == 0) crossing += charge.Dollars;
  }
  std::vector<int> all(facts.PlantTruth.size());
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
  const Best start = BestOf(all, facts.PlantTruth);
  page += "<tr><td>Crosses: the F2 plants</td><td>" + Fixed(crossing, 0) + "</td><td>" + std::to_string(all.size()) +
          "</td><td>" + std::to_string(start.Winning) + "</td>" + EntryCells(facts, facts.PlantTruth, start.Entry) +
          "</tr>\n";
  double spent = crossing;
  for (const DebriefStep& step : facts.Steps) {
    const std::vector<TraitValues>& truth = step.OnLines ? facts.LineTruth : facts.PlantTruth;
    const Best best = BestOf(step.KeptAfter, truth);
    spent += step.Dollars;
    page += "<tr><td>" + Escaped(StepTitle(step)) + "</td><td>" + Fixed(step.Dollars, 0) + "</td><td>" +
            std::to_string(step.KeptAfter.size()) + "</td><td>" + std::to_string(best.Winning) + "</td>" +
            EntryCells(facts, truth, best.Entry) + "</tr>\n";
  }
  if (facts.Released) {
    page += "<tr><td>Released line</td><td></td><td></td><td></td>" +
            EntryCells(facts, finalTruth, facts.Released->Id - 1) + "</tr>\n";
  }
  page += "<tr><th>All</th><th>" + Fixed(spent, 0) + "</th><th colspan=\"6\"></th></tr>\n</table>\n";
  page +=
      "<p class=\"note\">Plant steps show the F2 plants' own values; once lines are made, the lines'. The best "
      "entry is the one furthest inside both standards.</p>\n</body>\n</html>\n";
  return page;
}

}  // namespace plotwright
