// A game as a player starts it: the game wired to its record, which it keeps
// in the game folder as it goes, and to its debrief, written beside the
// record after the verdict; one game at a time in a folder, and no earlier
// game's record lost.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "game/game.h"
#include "record/recorder.h"
#include "reports/debrief.h"
#include "textio/console.h"

namespace plotwright {

// Plays in `folder` as `plotwright` started there does. The folder is taken
// for this game alone: a folder another game holds, or one the game may not
// write in, is said in plain words and nothing is changed. An unfinished
// game's record is continued when `resume` is set or the player chooses to;
// otherwise an earlier record (and its debrief) is kept under a numbered
// name, and a new game starts from `seed` (else the clock). Returns the exit
// status.
int PlayInFolder(Console& console, const std::filesystem::path& folder, std::optional<std::int32_t> seed, bool resume);

// A new game in `folder`, already taken, with its record and its debrief.
int PlayRecordedGame(Console& console, const std::filesystem::path& folder, std::optional<std::int32_t> seed);

// The end of a recorded game: its record written a last time, and after a
// release its debrief. Returns the game's exit status.
int EndRecordedGame(Console& console, const std::filesystem::path& folder, GameRecorder& record,
                    const DebriefCollector& debrief, const GameOutcome& outcome);

// The name an earlier record, or debrief, is kept under: "Plotwright-record-1.json", ...
std::filesystem::path NumberedName(const std::filesystem::path& name, int number);

}  // namespace plotwright
