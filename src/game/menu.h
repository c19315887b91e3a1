// The task menu: shows the tasks that make sense in the current state of the
// breeding programme and accepts exactly those.
#pragma once

#include "game/tasks.h"
#include "textio/console.h"

namespace plotwright {

// Shows the menu, reads the player's choice until an offered task is typed,
// stores its number in state.Task and returns its row of the task table.
// Changes nothing else. End of input is fatal.
const TaskItem& ShowMenuAndReadTask(Console& console, GameState& state);

}  // namespace plotwright
