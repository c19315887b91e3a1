// Meiosis on the genetic map: a gamete drawn from a diploid genome, and the
// fully homozygous line reached from a plant by repeated selfing.
#pragma once

#include <array>
#include <cstdint>

#include "genetics/genetic_model.h"
#include "genetics/random.h"

namespace plotwright {

// Generations of selfing in single-seed descent: from an F2 plant to the F7.
inline constexpr int kSelfingGenerations = 5;

// Probability of a crossover between two loci `centimorgans` whole cM apart
// on Kosambi's map (r = 0.5 tanh(2d) for d in Morgans). 0 for 0 cM; negative,
// so never met by a draw, for a negative distance.
double RecombinationFraction(int centimorgans);

// The map as meiosis reads it, worked out once for many gametes: for each
// locus, the number of generator outputs, counted from the smallest, whose
// draw switches the gamete to the other homologue there (at a chromosome
// start, a draw below 0.5, which leads to the first homologue; elsewhere a
// draw at or below the crossover probability of the interval from the
// previous locus), and which loci start a chromosome (a rising chromosome
// number; the first locus always does), one bit per locus as in
// HomologueBits.
struct MeiosisMap {
  std::array<std::int32_t, 64 * std::size_t{kGenomeWords}> Count;  // 0 beyond the last locus
  std::array<std::uint64_t, kGenomeWords> ChromosomeStarts;
};
MeiosisMap PrepareMeiosis(const GeneticMap& locusTable);

// Fills `gamete` from `parent`, drawing exactly one uniform per locus in
// genome order: at the first locus of each chromosome the draw picks the
// homologue to start from (the first on a draw below 0.5); at every other
// locus a draw at or below the interval's crossover probability switches to
// the other homologue. A chromosome number that does not rise keeps the loci
// linked. `gamete` must not be one of `parent`'s homologues.
void DrawGamete(const DiploidGenome& parent, const MeiosisMap& map, RandomStream& stream, HomologueBits& gamete);

// Replaces `genome` by its descendant after kSelfingGenerations generations
// of selfing (two gametes of the current genome each), then doubles the
// first homologue so the line is homozygous everywhere. Draws
// 2 x kSelfingGenerations x kLoci uniforms.
void InbreedBySelfing(DiploidGenome& genome, const MeiosisMap& map, RandomStream& stream);

}  // namespace plotwright
