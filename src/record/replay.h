// A recorded game played again from its record, without waiting for
// anyone: every answer comes from the record, every Results.csv the player
// saved is put back as the game read it, and every file the player held
// open is held open again. Each console line and each Results.csv the game
// writes is checked against the digests the record keeps of what was seen.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>

#include "game/game.h"
#include "record/game_record.h"
#include "textio/console.h"

namespace plotwright {

struct ReplayResult {
  bool Identical = false;
  std::string Difference;  // where the replay first differs, if it does
  int Answers = 0;         // answers the replay took
};

// Plays `record` again in a folder of its own (reference files of the
// recorded game's folder come from `recordFolder`), printing the game's
// console and the answers to `transcript`; `observer`, if any, hears the
// game's tables.
ReplayResult ReplayGame(const GameRecord& record, const std::filesystem::path& recordFolder, std::ostream& transcript,
                        GameObserver* observer);

// Replays the record `recordName` (UTF-8, a path relative to `folder` or
// absolute) in a folder of its own. Prints the transcript (the game's
// console with the answers typed), then "replay identical" or the first
// difference. A game that used the reference files of its folder needs them
// beside the record. Returns kExitNormal when the replay is identical, else
// kExitFailed, also for a record that cannot be read.
int ReplayRecord(Console& console, const std::filesystem::path& folder, const std::string& recordName);

}  // namespace plotwright
