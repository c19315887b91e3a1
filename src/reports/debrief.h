// The debrief: after the verdict, what was really in the student's
// population and how good their decisions were, from the true genotypic
// values they never saw. It is gathered while the game is played (or
// replayed from its record) and written as one self-contained page,
// Plotwright-debrief.html, beside the record.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/game.h"
#include "record/game_record.h"

namespace plotwright {

inline constexpr std::string_view kDebriefFile = "Plotwright-debrief.html";

struct DebriefCross {
  int First = 0, Second = 0, Plants = 0;
  int Lines = 0;    // lines made of its entries (all of them once task 3 has run)
  int Winning = 0;  // of those, lines meeting both standards
};

// One column of information the student bought: a prediction or a trial
// column, against the truth of the entries it measured.
struct DebriefMeasure {
  std::string Name;  // as Results.csv heads it, "Protein_Pred", "Fhb_Y2", ...
  Trait Of = kYield;
  int Locations = 0;  // 0 for a prediction
  double Lsd = 0;     // as printed; 0 for a prediction
  int Entries = 0;    // entries measured
  double Correlation = 0;
};

struct DebriefStep {
  TaskNumber Task = TaskNumber::kNone;
  int TrialYear = 0;     // the year of a trial
  bool OnLines = false;  // the entries were lines, else F2 plants
  double Dollars = 0;
  std::vector<int> KeptBefore, KeptAfter;  // entry indexes
  std::vector<DebriefMeasure> Measures;
};

struct DebriefFacts {
  std::vector<DebriefCross> Crosses;
  std::vector<int> EntryCross;  // the cross of each entry
  std::vector<int> EntryId;
  std::vector<TraitValues> PlantTruth, LineTruth;  // LineTruth once lines exist
  std::vector<DebriefStep> Steps;
  std::optional<ReleasedLine> Released;
};

// Gathers the debrief's facts from the game's tables as the game goes.
class DebriefCollector final : public GameObserver {
 public:
  void Started(const Game& game) override;
  void TaskDone(const Game& game, TaskNumber task, const std::vector<int>& keptBefore, double dollars) override;
  const DebriefFacts& Facts() const { return facts_; }

 private:
  DebriefFacts facts_;
  int columns_ = 0;  // line-table columns seen so far
};

// Replays the record `recordName` (as ReplayRecord takes it) without showing
// it, and writes its debrief beside it. Says what it wrote, or why it could
// not; returns kExitNormal or kExitFailed.
int WriteDebriefOfRecord(Console& console, const std::filesystem::path& folder, const std::string& recordName);

}  // namespace plotwright
