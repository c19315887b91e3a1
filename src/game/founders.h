// The founder lines as a player may study them before choosing crosses: each
// line's true genotypic values on the scales shown in the game and whether it
// carries the resistance allele of the major Fhb gene.
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "genetics/genetic_model.h"
#include "textio/console.h"

namespace plotwright {

struct FounderProfile {
  TraitValues Values{};    // yield, protein, Fhb on the display scales
  bool Resistant = false;  // homozygous for the resistance allele at QTL 303
};

// The profiles of founders 1..15.
// REQUIRES: reference.QtlEffects built from reference.LocusTable.
std::array<FounderProfile, kFounders> DescribeFounders(const ReferenceTables& reference);

// The founders table: a heading, then one record per founder, "  Line " and
// the founder number (I2), yield, protein and Fhb (F12.2 each) and "  yes"
// or "  no" for the resistance allele.
std::string FoundersTableText(const std::array<FounderProfile, kFounders>& founders);

// Loads the map and founders from `folder` (else the built-in copies) and
// prints the founders table. Returns the exit status: kExitNormal, or
// kExitFailed after saying what is wrong with a reference file.
int ShowFounders(Console& console, const std::filesystem::path& folder);

}  // namespace plotwright
