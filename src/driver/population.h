// The game's tables: the genetic map and founders, the player's crosses, one
// row per entry of the breeding population, and the scalars of the game state.
// The driver creates them once and passes them by reference; nothing else
// keeps state between calls (the random generator excepted).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace plotwright {

// Model sizes, fixed for the whole program.
inline constexpr int kLoci = 912;
inline constexpr int kQtl = 400;
inline constexpr int kMarkers = 512;
inline constexpr int kMarkerRows = 513;  // 512 marker effects and the intercept
inline constexpr int kFounders = 15;
inline constexpr int kMaxCrossSize = 2000;
inline constexpr int kValueColumns = 12;
inline constexpr int kTraits = 3;
inline constexpr int kHeaderSlots = 3 + kValueColumns;
inline constexpr int kHeaderWidth = 12;

// Traits are indexed 0 = yield (bushels per acre), 1 = protein (percent),
// 2 = Fhb severity (percent) in every table with a trait index.
enum Trait : int { kYield = 0, kProtein = 1, kFhb = 2 };
using TraitValues = std::array<double, kTraits>;

// Allele codes are 1 and 2; a gamete or a founder holds one per locus.
using AlleleCode = std::uint8_t;
using Gamete = std::array<AlleleCode, kLoci>;

// One homologue of a genome, one bit per locus in genome order (locus k is
// bit k % 64 of word k / 64): clear for allele 1, set for allele 2. The bits
// beyond the last locus stay clear, so a genome takes 240 bytes.
inline constexpr int kGenomeWords = (kLoci + 63) / 64;
using HomologueBits = std::array<std::uint64_t, kGenomeWords>;

// The two homologues of one diploid genome.
struct DiploidGenome {
  std::array<HomologueBits, 2> Homologue{};
  bool operator==(const DiploidGenome&) const = default;
};

// The allele code of homologue `homologue` (0 or 1) at locus `locus` (0 is
// the first locus in genome order), and its setter (REQUIRES: code 1 or 2).
// Code outside the genetics subsystem reads and writes genomes only through
// these.
inline AlleleCode AlleleAt(const DiploidGenome& genome, int homologue, int locus) {
  const std::uint64_t word =
      genome.Homologue[static_cast<std::size_t>(homologue)][static_cast<std::size_t>(locus / 64)];
  return static_cast<AlleleCode>(1 + ((word >> (locus % 64)) & 1));
}
inline void SetAllele(DiploidGenome& genome, int homologue, int locus, AlleleCode code) {
  std::uint64_t& word = genome.Homologue[static_cast<std::size_t>(homologue)][static_cast<std::size_t>(locus / 64)];
  const std::uint64_t bit = std::uint64_t{1} << (locus % 64);
  word = code == 2 ? word | bit : word & ~bit;
}

// One row of the locus table, in genome order.
struct LocusRecord {
  int QtlOrMarker = 0;  // QTL number (> 0), marker number negated (< 0), or 0 for neither
  int Chromosome = 0;   // rises from one chromosome to the next
  int Position = 0;     // map position in tenths of a centimorgan
};

// Effect of one QTL genotype class on the three traits. Class 0 is homozygous
// for allele 1, class 1 homozygous for allele 2, class 2 heterozygous (always
// zero: the model is additive).
using QtlClassEffects = std::array<TraitValues, 3>;

// The genetic world: map, founders, QTL effects and marker effects.
struct ReferenceTables {
  std::array<LocusRecord, kLoci> LocusTable{};
  std::array<Gamete, kFounders> FounderGenotype{};  // one allele per locus: founders are inbred
  std::array<QtlClassEffects, kQtl + 1> QtlEffects{};  // indexed by QTL number 1..400; row 0 unused
  std::array<TraitValues, kMarkerRows> MarkerEffects{};  // rows 0..511 markers 1..512, row 512 intercept
};

// The crosses written by the player, in the order of Crosses.csv.
struct CrossTable {
  std::vector<std::array<int, 2>> CrossParents;  // founder numbers 1..15
  std::vector<int> CrossSize;                    // F2 plants per cross
};

// One row per entry; entry with ID i is stored at index i - 1.
struct Population {
  int EntryCount = 0;
  std::vector<std::array<double, kValueColumns>> ResultsTable;
  std::vector<int> Kept;  // 1 = still in the programme, 0 = dropped
  std::vector<std::array<int, 2>> EntryParents;
  std::vector<TraitValues> PlantGenValue;
  std::vector<TraitValues> LineGenValue;
  std::vector<TraitValues> PlantPrediction;
  std::vector<TraitValues> LinePrediction;
  std::vector<int> PlantFhbScore;  // copies of the resistance allele: 0, 1 or 2
  std::vector<int> LineFhbScore;   // 0 or 2
  std::vector<DiploidGenome> Genome;  // plants until task 3, lines after it
  std::vector<int> EntryId;
  std::vector<double> TrialError;
};

// Bookkeeping of the value columns of the line table.
struct LineTableColumns {
  std::array<std::array<std::string, kTraits>, 4> ColumnHeaders;  // (kind, trait); kind 0 = prediction, 1..3 = years
  std::array<std::string, kHeaderSlots> HeaderList;
  std::array<int, kValueColumns> ColumnLocations{};
  std::array<float, kValueColumns> ColumnLsd{};
  int LastColumn = 0;  // value columns filled so far
};

// The scalars of a game in progress.
struct GameState {
  std::int32_t Seed = 0;
  float Balance = 250000.0f;
  int OverBudget = 0;
  int CrossCount = 0;
  int KeptCount = 0;
  int ScreenCount = 0;
  int Task = 0;
  int TrialYear = 1;
  int LinesMade = 0;
  int Screened = 0;
  int PlantsPredicted = 0;
  int LinesPredicted = 0;
  int Phenotyped = 0;
};

// Built-in data of the game.
inline constexpr std::array<float, 7> kPrices = {25.0f, 4.0f, 20.0f, 15.0f, 42.0f, 5.0f, 47.0f};
inline constexpr std::array<float, kTraits> kHeritability = {0.5f, 0.75f, 0.4f};
// Whether founders 1..15 carry the resistance allele at the major Fhb gene.
inline constexpr std::array<int, kFounders> kFounderFhbAllele = {1, 0, 0, 1, 1, 1, 1, 1, 1, 0, 1, 0, 1, 1, 1};

// Sizes every per-entry table for `entryCount` entries, with all entries
// kept and every value zero. Throws std::bad_alloc if memory runs out.
void CreateEntryTables(Population& population, int entryCount);

// The line-table bookkeeping at the start of a game: the twelve column
// header words and the three fixed header slots, no value column yet.
LineTableColumns NewLineTableColumns();

}  // namespace plotwright
