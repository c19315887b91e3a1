// A recorded game played again from its record, without waiting for
// anyone: every answer comes from the record, every Results.csv the player
// saved is put back as the game read it, and every file the player held
// open is held open again. Each console line and each Results.csv the game
// writes is checked against the digests the record keeps of what was seen.
#pragma once

#include <filesystem>
#include <string>

#include "textio/console.h"

namespace plotwright {

inline constexpr int kReplayIdentical = 0;
inline constexpr int kReplayDiffers = 1;

// Replays the record `recordName` (UTF-8, a path relative to `folder` or
// absolute) in a folder of its own. Prints the transcript (the game's
// console with the answers typed), then "replay identical" or the first
// difference. A game that used the reference files of its folder needs them
// beside the record. Returns kReplayIdentical or kReplayDiffers, also for
// a record that cannot be read.
int ReplayRecord(Console& console, const std::filesystem::path& folder, const std::string& recordName);

}  // namespace plotwright
