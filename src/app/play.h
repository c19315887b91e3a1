// A game as a player starts it: the game wired to its record, which it keeps
// in the game folder as it goes, and to its debrief, written beside the
// record after the verdict.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "textio/console.h"

namespace plotwright {

// Plays one game in `folder` from `seed` (else from the clock) with its
// record and its debrief. Returns the exit status.
int PlayRecordedGame(Console& console, const std::filesystem::path& folder, std::optional<std::int32_t> seed);

}  // namespace plotwright
