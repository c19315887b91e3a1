// The tasks of the menu, one row each: the number the player types, when the
// task is offered (and so accepted), its menu line, and what it does. One
// table drives the menu's display, what it accepts and what runs.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <span>

#include "game/population.h"
#include "game/release.h"
#include "genetics/f2_population.h"
#include "genetics/random.h"
#include "selection/results_file.h"
#include "textio/console.h"

namespace plotwright {

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

// Hears the game's tables as the programme goes: once the F2 plants exist,
// and after every task, with which entries were kept before it and what it
// cost. The debrief listens.
class GameObserver {
 public:
  virtual void Started(const Game& game) = 0;
  virtual void TaskDone(const Game& game, TaskNumber task, const std::vector<int>& keptBefore, double dollars) = 0;

 protected:
  ~GameObserver() = default;
};

struct TaskItem {
  TaskNumber Number;
  bool (*Offered)(const GameState&);
  const char* Text;  // a trial's line ends with the trial year and "]"
  bool ShowsYear;
  // Does the task. Returns the program's exit status once the game is over.
  std::optional<int> (*Run)(Console&, Game&);
};

// The tasks in the order the menu lists them.
std::span<const TaskItem> TaskTable();

// The ends of a game. The end sequence lets the player read the last
// messages before the window closes and returns the normal exit status;
// after an allocation failure ("Main 1", "F2 subroutine", ...) the game
// waits for Enter and returns the status of a failed installation.
int EndSequence(Console& console);
int AllocationError(Console& console, const char* where);

}  // namespace plotwright
