#include "genetics/meiosis.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "genetics/random.h"

namespace plotwright {
namespace {

// The base of the exponential in the map function, a single-precision value.
constexpr double kMapBase = static_cast<double>(2.71828f);
constexpr int kPositionUnitsPerCentimorgan = 10;

// Intervals met on any plausible map; a wider one is worked out when met.
constexpr int kTabulatedCentimorgans = 4096;

double KosambiFormula(int centimorgans) {
  // With x = 4d (d in Morgans), 0.5 (e^x - 1) / (e^x + 1) = 0.5 tanh(2d).
  const double x = static_cast<double>(centimorgans) / 100.0 * 4.0;
  const double p = std::pow(kMapBase, x);
  return 0.5 * (p - 1.0) / (p + 1.0);
}

// A draw decides a crossover when it is at most the interval's probability,
// and picks the first homologue when it is below one half. The uniform grows
// with the generator's combined output, so each comparison is the same as
// comparing the output with a count of outputs, found once per interval
// length: no draw is turned into a double at all.
const std::vector<std::int32_t>& CrossoverCounts() {
  static const std::vector<std::int32_t> counts = [] {
    std::vector<std::int32_t> made(kTabulatedCentimorgans);
    for (int m = 0; m < kTabulatedCentimorgans; ++m) {
      made[static_cast<std::size_t>(m)] = CombinedOutputsAtMost(KosambiFormula(m));
    }
    return made;
  }();
  return counts;
}

// Fractions of a centimorgan are dropped; an interval under 1 cM, or a
// position that goes back, has r <= 0 and never recombines.
std::int32_t CrossoverCount(const LocusRecord& previous, const LocusRecord& locus) {
  const std::int64_t distance = static_cast<std::int64_t>(locus.Position) - previous.Position;
  const std::int64_t m = distance / kPositionUnitsPerCentimorgan;
  if (m <= 0) return 0;
  if (m >= kTabulatedCentimorgans) return CombinedOutputsAtMost(KosambiFormula(static_cast<int>(m)));
  return CrossoverCounts()[static_cast<std::size_t>(m)];
}

}  // namespace

double RecombinationFraction(int centimorgans) { return KosambiFormula(centimorgans); }

MeiosisMap PrepareMeiosis(const std::array<LocusRecord, kLoci>& locusTable) {
  static const std::int32_t belowHalf = CombinedOutputsBelow(0.5);
  MeiosisMap map;
  for (int k = 0; k < kLoci; ++k) {
    if (k == 0 || locusTable[k].Chromosome > locusTable[k - 1].Chromosome) {
      // The second homologue on a draw of 0.5 or more: on an output above
      // the outputs below 0.5.
      map.Loci[k] = {belowHalf, 1};
    } else {
      map.Loci[k] = {CrossoverCount(locusTable[k - 1], locusTable[k]), 0};
    }
  }
  return map;
}

// A gamete is a choice between the parent's two homologues, taken segment by
// segment: the draws say, locus by locus, which homologue the gamete copies
// (a set bit of `choice` for the second), and 64 loci at a time the choice
// picks the bits of one homologue or the other. An output at or below a
// locus's count switches homologue; at a chromosome start the homologue is
// first set to the second, so the same switch leaves it on the first.
//
// The generator is held in locals for the 912 draws, so its state stays in
// registers, and each locus is decided two draws after its own: an output
// also picks the next draw's shuffle slot, and every draw waits for that
// step, so the decision must not compete with it for the processor.
void DrawGamete(const DiploidGenome& parent, const MeiosisMap& map, std::int32_t& Seed, HomologueBits& gamete) {
  static_assert(kLoci >= 2);
  GeneratorState generator = RunGenerator();
  std::int32_t seed = Seed;
  std::int32_t output = NextCombined(seed, generator);
  std::int32_t nextOutput = NextCombined(seed, generator);
  std::uint64_t second = 0;  // 1 while the gamete copies the second homologue
  std::uint64_t choice = 0;
  for (int k = 0; k < kLoci; ++k) {
    const std::int32_t drawn = output;
    output = nextOutput;
    if (k + 2 < kLoci) nextOutput = NextCombined(seed, generator);
    const MeiosisMap::Locus& locus = map.Loci[static_cast<std::size_t>(k)];
    second = (second | locus.StartsChromosome) ^ static_cast<std::uint64_t>(drawn <= locus.Count);
    choice |= second << (k % 64);
    if (k % 64 == 63 || k == kLoci - 1) {
      const std::size_t word = static_cast<std::size_t>(k / 64);
      const std::uint64_t one = parent.Homologue[0][word], two = parent.Homologue[1][word];
      gamete[word] = one ^ ((one ^ two) & choice);
      choice = 0;
    }
  }
  RunGenerator() = generator;
  Seed = seed;
}

void DrawGamete(const DiploidGenome& parent, const std::array<LocusRecord, kLoci>& locusTable,
                std::int32_t& Seed, HomologueBits& gamete) {
  DrawGamete(parent, PrepareMeiosis(locusTable), Seed, gamete);
}

void DrawGamete(const DiploidGenome& parent, const std::array<LocusRecord, kLoci>& locusTable,
                std::int32_t& Seed, Gamete& gamete) {
  DiploidGenome haploid;
  DrawGamete(parent, PrepareMeiosis(locusTable), Seed, haploid.Homologue[0]);
  for (int k = 0; k < kLoci; ++k) gamete[static_cast<std::size_t>(k)] = AlleleAt(haploid, 0, k);
}

void InbreedBySelfing(DiploidGenome& genome, const MeiosisMap& map, std::int32_t& Seed) {
  DiploidGenome offspring;
  for (int generation = 0; generation < kSelfingGenerations; ++generation) {
    DrawGamete(genome, map, Seed, offspring.Homologue[0]);
    DrawGamete(genome, map, Seed, offspring.Homologue[1]);
    genome = offspring;
  }
  // The line is fixed from the last plant's first homologue.
  genome.Homologue[1] = genome.Homologue[0];
}

void InbreedBySelfing(DiploidGenome& genome, const std::array<LocusRecord, kLoci>& locusTable,
                      std::int32_t& Seed) {
  InbreedBySelfing(genome, PrepareMeiosis(locusTable), Seed);
}

}  // namespace plotwright
