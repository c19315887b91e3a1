// A game left half-way (a closed window, a power cut, a reloaded page)
// continued where it stopped: its record is played again without a word up
// to where it ends, Results.csv is put back as the player last saved it, the
// last screen the student saw is shown again, and the game goes on live,
// adding to the same record.
#pragma once

#include <filesystem>
#include <string>

#include "record/game_record.h"
#include "textio/console.h"

namespace plotwright {

// How many lines of the game's console a resumed game shows again.
inline constexpr int kScreenLines = 22;

// Continues the game of `left`, the record of `folder` of a game left
// unfinished or stopped by its console. When the replay differs from the
// record, says why, changes nothing and returns kExitFailed; otherwise plays
// on and returns the game's exit status.
int ResumeGame(Console& console, const std::filesystem::path& folder, const GameRecord& left);

// The end of `text`: its last `lines` lines, the open one (a prompt) among
// them.
std::string LastLines(const std::string& text, int lines);

}  // namespace plotwright
