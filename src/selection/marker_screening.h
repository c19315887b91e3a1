// Task 1: screening with the diagnostic marker for the major Fhb resistance
// gene. Plants must carry the resistance allele twice to stay; lines, being
// homozygous, stay if they carry it at all.
#pragma once

#include <array>
#include <span>
#include <vector>

#include "genetics/genetic_model.h"
#include "textio/console.h"

namespace plotwright {

// Whether founders 1..15 carry the resistance allele at the major Fhb gene,
// as the screening charge assumes: an entry whose two parents agree here
// cannot segregate and is not genotyped.
inline constexpr std::array<int, kFounders> kFounderFhbAllele = {1, 0, 0, 1, 1, 1, 1, 1, 1, 0, 1, 0, 1, 1, 1};

// The number of entries with Kept = 1.
int CountKept(std::span<const int> Kept);

// The entries actually genotyped, and so charged: kept entries whose two
// founder parents differ at the gene. They are screened like the others.
// REQUIRES: one EntryParents row per Kept flag, founders 1..15.
int CountScreenedEntries(std::span<const int> Kept, std::span<const std::array<int, 2>> EntryParents);

// Drops every kept entry without the wanted genotype: with LinesMade = 0 the
// plants by PlantFhbScore (score 2 stays), else the lines by LineFhbScore
// (score 1 or 2 stays). Prints the number still kept and returns it.
// REQUIRES: one score of each kind per Kept flag.
int ScreenForFhbGene(Console& console, int LinesMade, std::vector<int>& Kept, std::span<const int> PlantFhbScore,
                     std::span<const int> LineFhbScore);

}  // namespace plotwright
