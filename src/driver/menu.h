// The task menu: shows the tasks that make sense in the current state of the
// breeding programme and accepts exactly those.
#pragma once

#include "driver/population.h"
#include "textio/console.h"

namespace plotwright {

// Whether `task` is offered in the state described by `state`'s flags.
bool TaskIsOffered(int task, const GameState& state);

// Shows the menu, reads the player's choice until an offered task is typed,
// and stores it in state.Task. Changes nothing else.
void ShowMenuAndReadTask(Console& console, GameState& state);

}  // namespace plotwright
