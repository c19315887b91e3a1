// The scripted players of the balance study. Each writes Crosses.csv, picks
// the next task at every menu, answers the trial prompts, and prunes
// Results.csv the way a student would when the game waits for a selection.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/founders.h"
#include "genetics/genetic_model.h"
#include "split_mix.h"

namespace plotwright::balance {

using Founders = std::array<FounderProfile, kFounders>;
using tools::SplitMix64;

struct Cross {
  int First, Second, Plants;
};

class Player {
 public:
  virtual ~Player() = default;
  virtual const char* Name() const = 0;
  // The crosses to write into Crosses.csv before the game starts.
  virtual std::vector<Cross> Crosses(SplitMix64& rng) = 0;
  // Everything the game has printed since the player's last answer.
  virtual void Read(const std::string& /*text*/) {}
  // The next task; called at every menu.
  virtual int NextTask() = 0;
  // Numbers of locations of the trial just chosen: as many as the player
  // wants, less one for every time the money did not suffice.
  int YieldProteinLocations() { return std::max(1, WantedYieldProteinLocations() - cuts_); }
  int FhbLocations() { return std::max(1, WantedFhbLocations() - cuts_); }
  void TrialRefused() { ++cuts_; }
  // Called whenever the game waits for a selection in Results.csv.
  void Selection(const std::filesystem::path& folder) {
    cuts_ = 0;
    Select(folder);
  }
  // The Line_ID to release.
  virtual int Release(const std::filesystem::path& folder) = 0;

  // A player may stand for two programmes that agree up to a selection: the
  // game can be copied there, and the copy played on by the second
  // programme. The selection (1 for the first of the game; 0 when there is
  // no second programme), and the turn to the second programme.
  virtual int BranchSelection() const { return 0; }
  virtual void TakeBranch() {}

  // Gets the player ready for a new game, with the game's own random choices.
  void Reset(SplitMix64& rng) {
    rng_ = rng;
    step_ = 0;
    cuts_ = 0;
    Start();
  }

 protected:
  virtual void Start() {}
  // Prunes Results.csv.
  virtual void Select(const std::filesystem::path& /*folder*/) {}
  virtual int WantedYieldProteinLocations();
  virtual int WantedFhbLocations();
  int cuts_ = 0;
  SplitMix64 rng_{0};
  int step_ = 0;
};

// How a breeding programme planned around the founders table runs: its
// tasks, how many entries each selection keeps, and its trial locations.
struct Programme {
  std::string Name;
  bool Screening = true;         // task 1 on the F2 plants
  bool PlantPredictions = true;  // task 2 before lines, keeping PlantsKept
  bool LinePredictions = true;   // task 2 after lines, keeping LinesKept
  std::size_t PlantsKept = 200;
  std::size_t LinesKept = 150;
  int TrialYears = 3;
  // Entries kept after each trial year (the last year keeps them all: the
  // release picks the best).
  std::array<std::size_t, 3> KeptAfterYear = {40, 12, 12};
  // Year 1's locations: the most (12 and 4), a fixed pair, or as many
  // yield-and-protein locations as the money allows while the later years
  // can still be paid at the most.
  enum class FirstYear { kMost, kFixed, kWhatMoneyAllows } FirstYearLocations = FirstYear::kMost;
  int FirstYearYieldProtein = 12, FirstYearFhb = 4;
};

// The programmes the study plays: the informed programme, its variants
// without one tool each, and the programme without markers.
Programme InformedProgramme();
Programme NoScreeningProgramme();
Programme NoPredictionsProgramme();
Programme OneYearProgramme();
Programme TrialsProgramme();

// Four crosses a student would choose from the founders table, `plants`
// plants each.
std::vector<Cross> InformedCrosses(const Founders& founders, int count, int plants);

std::unique_ptr<Player> MakeRandomPlayer();
std::unique_ptr<Player> MakeOneTrialPlayer();
std::unique_ptr<Player> MakeProgrammePlayer(const Founders& founders, const Programme& programme);
// The informed programme, which branches into the one-year programme at its
// selection after year 1.
std::unique_ptr<Player> MakeInformedPlayerWithOneYearBranch(const Founders& founders);

// One cross of `plants` plants, screening, lines and line predictions; then
// the best-predicted line is released, or, with `trialLines` above 0, that
// many best-predicted lines go into one trial year at 2 and 2 locations and
// the line with the best estimate is released. With `branchTrialLines` above
// 0 the player branches at its first selection, the line predictions, into
// the player with that many trial lines.
std::unique_ptr<Player> MakeShortcutPlayer(Cross cross, std::size_t trialLines, std::size_t branchTrialLines = 0);

}  // namespace plotwright::balance
