// The genetic model of the game: its fixed sizes, the traits, how a genome is
// stored, and the genetic world the reference files describe (the map, the
// founder lines, the QTL and marker effects). Everything that simulates,
// shows or judges a plant builds on this.
#pragma once

#include <array>
#include <cstdint>

namespace plotwright {

// Model sizes, fixed for the whole program.
inline constexpr int kLoci = 912;
inline constexpr int kQtl = 400;
inline constexpr int kMarkers = 512;
inline constexpr int kMarkerRows = 513;  // 512 marker effects and the intercept
inline constexpr int kFounders = 15;
inline constexpr int kTraits = 3;

// Traits are indexed 0 = yield (bushels per acre), 1 = protein (percent),
// 2 = Fhb severity (percent) in every table with a trait index.
enum Trait : int { kYield = 0, kProtein = 1, kFhb = 2 };
using TraitValues = std::array<double, kTraits>;

// Allele codes are 1 and 2; a founder holds one per locus, being inbred.
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
// Code outside the genetics reads and writes genomes only through these.
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

// The genome whose homologues carry `first` and `second`: the F1 of two
// founders, or a founder itself when both are its alleles.
inline DiploidGenome Diploid(const Gamete& first, const Gamete& second) {
  DiploidGenome genome;
  for (int k = 0; k < kLoci; ++k) {
    SetAllele(genome, 0, k, first[static_cast<std::size_t>(k)]);
    SetAllele(genome, 1, k, second[static_cast<std::size_t>(k)]);
  }
  return genome;
}

// One row of the locus table, in genome order.
struct LocusRecord {
  int QtlOrMarker = 0;  // QTL number (> 0), marker number negated (< 0), or 0 for neither
  int Chromosome = 0;   // rises from one chromosome to the next
  int Position = 0;     // map position in tenths of a centimorgan
  bool operator==(const LocusRecord&) const = default;
};
using GeneticMap = std::array<LocusRecord, kLoci>;

// Effect of one QTL genotype class on the three traits. Class 0 is homozygous
// for allele 1, class 1 homozygous for allele 2, class 2 heterozygous (always
// zero: the model is additive).
using QtlClassEffects = std::array<TraitValues, 3>;
using QtlEffectTable = std::array<QtlClassEffects, kQtl + 1>;  // by QTL number 1..400; row 0 unused

// The genetic world: map, founders, QTL effects and marker effects.
struct ReferenceTables {
  GeneticMap LocusTable{};
  std::array<Gamete, kFounders> FounderGenotype{};
  QtlEffectTable QtlEffects{};
  std::array<TraitValues, kMarkerRows> MarkerEffects{};  // rows 0..511 markers 1..512, row 512 intercept
};

}  // namespace plotwright
