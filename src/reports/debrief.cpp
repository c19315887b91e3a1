#include "reports/debrief.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "exit_status.h"
#include "game/standards.h"
#include "record/replay.h"
#include "reports/debrief_page.h"
#include "statistics.h"

namespace plotwright {

namespace {

std::vector<int> KeptIndexes(const std::vector<int>& kept) {
  std::vector<int> indexes;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (kept[i] == 1) indexes.push_back(static_cast<int>(i));
  }
  return indexes;
}

// The correlation of a measure with the truth over the given entries.
template <typename Measured, typename Truth>
double CorrelationOver(const std::vector<int>& entries, Measured measured, Truth truth) {
  std::vector<double> x, y;
  x.reserve(entries.size()), y.reserve(entries.size());
  for (const int i : entries) x.push_back(measured(i)), y.push_back(truth(i));
  return Correlation(x, y);
}

std::string Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

}  // namespace

void DebriefCollector::Started(const Game& game) {
  facts_.PlantTruth = game.Entries.PlantGenValue;
  facts_.EntryId = game.Entries.EntryId;
  for (std::size_t c = 0; c < game.Crosses.CrossSize.size(); ++c) {
    facts_.Crosses.push_back(
        {game.Crosses.CrossParents[c][0], game.Crosses.CrossParents[c][1], game.Crosses.CrossSize[c], 0, 0});
    facts_.EntryCross.insert(facts_.EntryCross.end(), static_cast<std::size_t>(game.Crosses.CrossSize[c]),
                             static_cast<int>(c));
  }
}

void DebriefCollector::TaskDone(const Game& game, TaskNumber task, const std::vector<int>& keptBefore, double dollars) {
  if (task == TaskNumber::kRelease) {
    facts_.Released = game.Released;
    return;
  }
  // A trial not even one location could be paid for did not happen.
  const bool trial = task >= TaskNumber::kYieldProteinTrial && task <= TaskNumber::kAllTraitsTrial;
  if (trial && dollars == 0) return;
  DebriefStep step;
  step.Task = task;
  step.Dollars = dollars;
  step.OnLines = game.State.LinesMade == 1;
  step.KeptBefore = KeptIndexes(keptBefore);
  step.KeptAfter = KeptIndexes(game.Entries.Kept);
  if (task == TaskNumber::kMakeLines && game.State.LinesMade == 1 && facts_.LineTruth.empty()) {
    facts_.LineTruth = game.Entries.LineGenValue;
    for (std::size_t i = 0; i < facts_.LineTruth.size() && i < facts_.EntryCross.size(); ++i) {
      DebriefCross& cross = facts_.Crosses[static_cast<std::size_t>(facts_.EntryCross[i])];
      ++cross.Lines;
      if (MeetsBothStandards(facts_.LineTruth[i])) ++cross.Winning;
    }
  }
  if (task == TaskNumber::kPredict && !step.OnLines) {
    const auto& predicted = game.Entries.PlantPrediction;
    for (const Trait trait : {kYield, kProtein, kFhb}) {
      DebriefMeasure measure{std::string(kColumnHeaders[kPredictionKind][trait]),
                             trait,
                             0,
                             0,
                             static_cast<int>(step.KeptBefore.size()),
                             0};
      measure.Correlation = CorrelationOver(
          step.KeptBefore, [&](int i) { return predicted[static_cast<std::size_t>(i)][trait]; },
          [&](int i) { return facts_.PlantTruth[static_cast<std::size_t>(i)][trait]; });
      step.Measures.push_back(measure);
    }
  }
  // The columns this task added to the line table: predictions or a trial.
  const LineTable& table = game.Lines;
  for (int column = columns_; column < table.LastColumn; ++column) {
    const auto c = static_cast<std::size_t>(column);
    DebriefMeasure measure;
    measure.Name = Trimmed(table.HeaderList[kFixedColumns + c]);
    for (const auto& words : kColumnHeaders) {
      for (const Trait trait : {kYield, kProtein, kFhb}) {
        if (words[trait] == measure.Name) measure.Of = trait;
      }
    }
    measure.Locations = table.ColumnLocations[c];
    measure.Lsd = table.ColumnLsd[c];
    measure.Entries = static_cast<int>(step.KeptBefore.size());
    measure.Correlation = CorrelationOver(
        step.KeptBefore, [&](int i) { return table.ResultsTable[static_cast<std::size_t>(i)][c]; },
        [&](int i) { return facts_.LineTruth[static_cast<std::size_t>(i)][measure.Of]; });
    step.Measures.push_back(measure);
  }
  columns_ = table.LastColumn;
  if (task >= TaskNumber::kYieldProteinTrial && task <= TaskNumber::kAllTraitsTrial) {
    step.TrialYear = game.State.TrialYear - 1;
  }
  facts_.Steps.push_back(std::move(step));
}

int WriteDebriefOfRecord(Console& console, const std::filesystem::path& folder, const std::string& recordName) {
  LoadedRecord loaded;
  if (const RecordProblem problem = LoadRecord(folder, recordName, loaded)) {
    PrintLines(console, RecordProblemLines(problem, loaded.Name));
    PrintLine(console, "No debrief written");
    return kExitFailed;
  }
  DebriefCollector collector;
  std::ostringstream transcript;
  const ReplayResult replay = ReplayGame(loaded.Record, loaded.Folder, transcript, &collector);
  if (!replay.Identical) {
    PrintLine(console, "No debrief written: the record does not replay (it differs " + replay.Difference + ")");
    return kExitFailed;
  }
  const FileProblem problem =
      WriteWholeFile(loaded.Folder, kDebriefFile, DebriefHtml(loaded.Record, collector.Facts()));
  if (problem != FileProblem::kNone) {
    PrintLines(console, FileProblemLines(problem, kDebriefFile, kDebriefFile, true, false));
    PrintLine(console, "No debrief written");
    return kExitFailed;
  }
  PrintLine(console, "The debrief of " + loaded.Name + " is in " + std::string(kDebriefFile));
  return kExitNormal;
}

}  // namespace plotwright
