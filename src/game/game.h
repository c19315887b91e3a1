// The whole game from the banner to the end: start-up, the population of F2
// plants, the budget, and the task loop until a release or the money ends it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "textio/console.h"

namespace plotwright {

class GameObserver;

struct GameOptions {
  // Replaces the clock seed, so a game can be replayed exactly.
  std::optional<std::int32_t> Seed;
  // Hears the game in place of its record (a replay): the game then keeps
  // no record of its own.
  ConsoleWatch* Watch = nullptr;
  // Hears the game's tables after every task (the debrief).
  GameObserver* Observer = nullptr;
};

// Exit statuses of a game.
inline constexpr int kExitNormal = 0;
inline constexpr int kExitNoMemory = 1;
inline constexpr int kExitFatalIo = 2;

// Plays one game in `folder` (where Crosses.csv, Results.csv and any
// reference files live), talking to the player through `console`, and keeps
// the game's record there. Returns the exit status.
int RunGame(Console& console, const std::filesystem::path& folder, const GameOptions& options);

}  // namespace plotwright
