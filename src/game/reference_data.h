// The reference data files: the genetic map (zForbidden.csv), the founder
// genotypes (zHandsOff.csv) and the marker effects (zKeepOut.csv). A file in
// the game folder is used when present; otherwise the copy built into the
// program. A malformed file is described with its name, line and problem.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "genetics/genetic_model.h"
#include "textio/console.h"

namespace plotwright {

// The reference files, by the names the game folder's copies have.
inline constexpr std::array<const char*, 3> kReferenceFiles = {"zForbidden.csv", "zHandsOff.csv", "zKeepOut.csv"};

// Why a reference file cannot be used, in the game's words: the problem,
// with the lines that explain it. Empty when there is none.
struct ReferenceProblem {
  std::vector<std::string> Lines;
  explicit operator bool() const { return !Lines.empty(); }
};

// Loads zForbidden.csv into LocusTable, then zHandsOff.csv into
// FounderGenotype; the problem of the first file that cannot be used.
ReferenceProblem LoadLocusTableAndFounders(Console& console, const std::filesystem::path& folder,
                                           ReferenceTables& reference);

// Loads zKeepOut.csv into MarkerEffects.
ReferenceProblem LoadMarkerEffects(Console& console, const std::filesystem::path& folder, ReferenceTables& reference);

// The readers of each file's text, as the loaders use them. The map must
// hold every QTL and marker number at most once, and QTL 303, the
// resistance gene the screening reads; allele codes are 1 or 2.
ReferenceProblem ParseLocusTable(std::string_view text, ReferenceTables& reference);
ReferenceProblem ParseFounders(std::string_view text, ReferenceTables& reference);
ReferenceProblem ParseMarkerEffects(std::string_view text, ReferenceTables& reference);

// What the player is told of a problem: "ERROR:", the problem, and how to
// mend it, one console line each.
std::vector<std::string> ReferenceProblemLines(const ReferenceProblem& problem);

}  // namespace plotwright
