// The whole game from the banner to the end: start-up, the population of F2
// plants, the budget, and the task loop until a release or the money ends
// it. The game owns its tables, its scalars and its one random stream; what
// listens to it (the record, the debrief) hears it through GameObserver and
// the console's watch, and is wired to it by the program's entry points.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "game/population.h"
#include "game/release.h"
#include "genetics/f2_population.h"
#include "genetics/random.h"
#include "selection/results_file.h"
#include "textio/console.h"
#include "trials/budget.h"

namespace plotwright {

// The tasks of the menu, by the number the player types.
enum class TaskNumber : int {
  kNone = 0,
  kScreen = 1,
  kPredict = 2,
  kMakeLines = 3,
  kYieldProteinTrial = 4,
  kFhbTrial = 5,
  kAllTraitsTrial = 6,
  kRelease = 99,
};

// The scalars of a game in progress. Flags only go from 0 to 1, TrialYear
// only grows and the balance only falls.
struct GameState {
  float Balance = kStartingBalance;
  int OverBudget = 0;  // the last charge: 1 refused, 0 made
  int CrossCount = 0;
  int KeptCount = 0;
  int ScreenCount = 0;
  TaskNumber Task = TaskNumber::kNone;  // the task last chosen
  int TrialYear = 1;                    // the next trial year, 1 to 4
  int LinesMade = 0;
  int Screened = 0;
  int PlantsPredicted = 0;
  int LinesPredicted = 0;
  int Phenotyped = 0;
};

// Everything a game works on from start to end, owned by the game: the
// genetic world, the crosses, the population's tables, the line table, the
// scalars of the programme and the one random stream.
struct Game {
  std::filesystem::path Folder;
  ReferenceTables Reference;
  CrossTable Crosses;
  Population Entries;
  LineTable Lines;
  GameState State;
  RandomStream Stream;
  std::array<double, kTraits> ErrorVariance{};
  std::optional<ReleasedLine> Released;  // once task 99 has run
};

// Hears the game's tables as the programme goes: once the F2 plants exist
// and the crosses are charged, and after every task, with which entries were
// kept before it and what it cost. The record and the debrief listen.
class GameObserver {
 public:
  virtual void Started(const Game& game) = 0;
  virtual void TaskDone(const Game& game, TaskNumber task, const std::vector<int>& keptBefore, double dollars) = 0;

 protected:
  ~GameObserver() = default;
};

// How a game ended. A game still being played (or left half-way) has not.
enum class GameEnding { kUnfinished, kReleased, kWithoutRelease, kStopped };

struct GameOptions {
  // Replaces the clock seed, so a game can be replayed exactly.
  std::optional<std::int32_t> Seed;
  // Hears the console and the game folder's files (the record, a replay).
  ConsoleWatch* Watch = nullptr;
  // Hear the game's tables, in this order.
  std::vector<GameObserver*> Observers;
};

struct GameOutcome {
  int Status = 0;  // the program's exit status
  GameEnding Ending = GameEnding::kUnfinished;
  std::string Stopped;  // kStopped: the diagnostic the game stopped with
};

// Plays one game in `folder` (where Crosses.csv, Results.csv and any
// reference files live), talking to the player through `console`. A read or
// write failure of the console stops it at once: the diagnostic goes to the
// error stream as one line, and the game has ended as kStopped.
GameOutcome RunGame(Console& console, const std::filesystem::path& folder, const GameOptions& options);

}  // namespace plotwright
