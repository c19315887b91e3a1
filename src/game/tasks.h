// The tasks of the menu, one row each: the number the player types, when the
// task is offered (and so accepted), its menu line, what it does, and what
// the debrief and the class summary call it. One table drives the menu's
// display, what it accepts, what runs, and how the teacher's pages name it.
#pragma once

#include <span>

#include "game/game.h"
#include "textio/console.h"

namespace plotwright {

// Where the game goes after a task.
enum class AfterTask {
  kMenu,      // back to the menu
  kGameOver,  // the end sequence has run: the game is over
  kNoMemory,  // the task's tables did not fit in memory: the game is over
};

struct TaskItem {
  TaskNumber Number;
  bool (*Offered)(const GameState&);
  const char* Text;  // the menu line; a trial's ends with the trial year and "]"
  bool ShowsYear;
  AfterTask (*Run)(Console&, Game&);
  // What the debrief calls a step of it ("Trial of Fhb"); a step of a task
  // that works on plants or lines alike says which.
  const char* StepName;
  bool NamesItsEntries;
  // The class summary's column for the money spent on it; nullptr for a
  // task that costs nothing.
  const char* Tool;
};

// The tasks in the order the menu lists them.
std::span<const TaskItem> TaskTable();

// The row of the task numbered `number`, or nullptr.
const TaskItem* FindTask(TaskNumber number);

// The ends of a game. The end sequence lets the player read the last
// messages before the window closes; after an allocation failure ("Main 1",
// "F2 subroutine", ...) the game says where and waits for Enter.
void EndSequence(Console& console);
void AllocationError(Console& console, const char* where);

}  // namespace plotwright
