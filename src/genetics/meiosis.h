// Meiosis on the genetic map: a gamete drawn from a diploid genome, and the
// fully homozygous line reached from a plant by repeated selfing.
#pragma once

#include <array>
#include <cstdint>

#include "driver/population.h"

namespace plotwright {

// Generations of selfing in single-seed descent: from an F2 plant to the F7.
inline constexpr int kSelfingGenerations = 5;

// Probability of a crossover between two loci `centimorgans` whole cM apart
// on Kosambi's map (r = 0.5 tanh(2d) for d in Morgans). 0 for 0 cM; negative,
// so never met by a draw, for a negative distance.
double RecombinationFraction(int centimorgans);

// Fills `gamete` from `parent`, drawing exactly one uniform per locus in
// genome order: at the first locus of each chromosome the draw picks the
// homologue to start from; at every other locus it decides a crossover in
// the interval from the previous locus. A chromosome number that does not
// rise keeps the loci linked. `gamete` must not alias `parent`.
void DrawGamete(const DiploidGenome& parent, const std::array<LocusRecord, kLoci>& locusTable,
                std::int32_t& Seed, Gamete& gamete);

// Replaces `genome` by its descendant after kSelfingGenerations generations
// of selfing (two gametes of the current genome each), then doubles the
// first homologue so the line is homozygous everywhere. Draws
// 2 x kSelfingGenerations x kLoci uniforms.
void InbreedBySelfing(DiploidGenome& genome, const std::array<LocusRecord, kLoci>& locusTable,
                      std::int32_t& Seed);

}  // namespace plotwright
