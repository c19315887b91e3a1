// The reference data files: the genetic map (zForbidden.csv), the founder
// genotypes (zHandsOff.csv) and the marker effects (zKeepOut.csv). A file in
// the game folder is used when present; otherwise the copy built into the
// program. A malformed file is reported with its name, line and problem.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "genetics/genetic_model.h"
#include "textio/console.h"

namespace plotwright {

// Loads zForbidden.csv into LocusTable, then zHandsOff.csv into
// FounderGenotype. Returns false after reporting a malformed file.
bool LoadLocusTableAndFounders(Console& console, const std::filesystem::path& folder, ReferenceTables& reference);

// Loads zKeepOut.csv into MarkerEffects. Returns false after reporting a
// malformed file.
bool LoadMarkerEffects(Console& console, const std::filesystem::path& folder, ReferenceTables& reference);

// The readers of each file's text, as the loaders use them. The map must
// hold every QTL and marker number at most once, and QTL 303, the
// resistance gene the screening reads; allele codes are 1 or 2.
bool ParseLocusTable(Console& console, std::string_view text, ReferenceTables& reference);
bool ParseFounders(Console& console, std::string_view text, ReferenceTables& reference);
bool ParseMarkerEffects(Console& console, std::string_view text, ReferenceTables& reference);

}  // namespace plotwright
