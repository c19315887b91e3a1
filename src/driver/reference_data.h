// The reference data files: the genetic map (zForbidden.csv), the founder
// genotypes (zHandsOff.csv) and the marker effects (zKeepOut.csv). A file in
// the game folder is used when present; otherwise the copy built into the
// program. A malformed file is reported with its name, line and problem.
#pragma once

#include <filesystem>

#include "genetics/genetic_model.h"
#include "textio/console.h"

namespace plotwright {

// Loads zForbidden.csv into LocusTable, then zHandsOff.csv into
// FounderGenotype. Returns false after reporting a malformed file.
bool LoadLocusTableAndFounders(Console& console, const std::filesystem::path& folder, ReferenceTables& reference);

// Loads zKeepOut.csv into MarkerEffects. Returns false after reporting a
// malformed file.
bool LoadMarkerEffects(Console& console, const std::filesystem::path& folder, ReferenceTables& reference);

}  // namespace plotwright
