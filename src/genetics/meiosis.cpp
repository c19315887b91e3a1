#include "genetics/meiosis.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "genetics/exact_functions.h"
#include "requires.h"

namespace plotwright {
namespace {

// The base of the exponential in the map function, a single-precision value.
constexpr double kMapBase = static_cast<double>(2.71828f);
constexpr int kPositionUnitsPerCentimorgan = 10;

// Intervals met on any plausible map; a wider one is worked out when met.
constexpr int kTabulatedCentimorgans = 4096;

double KosambiFormula(int centimorgans) {
  // With x = 4d (d in Morgans), 0.5 (e^x - 1) / (e^x + 1) = 0.5 tanh(2d).
  // The power is correctly rounded, the same on every machine.
  const double x = static_cast<double>(centimorgans) / 100.0 * 4.0;
  const double p = RoundedPower(kMapBase, x);
  // Beyond about 17745 cM p overflows; r is 0.5 there, as it already is
  // from a few hundred cM on, where p - 1 and p + 1 both round to p.
  if (std::isinf(p)) return 0.5;
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

// Eight bytes of 0 or 1 as eight bits, byte i as bit i: the multiplier
// gathers every byte's bit into the top byte of the product.
inline std::uint64_t PackBits(const std::uint8_t* bytes) {
  static_assert(std::endian::native == std::endian::little, "byte i of a word must be bit i");
  std::uint64_t eight;
  std::memcpy(&eight, bytes, sizeof eight);
  return (eight * 0x0102040810204080ULL) >> 56;
}

// Bit i of the result is the parity of bits 0..i of x.
inline std::uint64_t RunningParity(std::uint64_t x) {
  for (int shift = 1; shift < 64; shift *= 2) x ^= x << shift;
  return x;
}

}  // namespace

double RecombinationFraction(int centimorgans) { return KosambiFormula(centimorgans); }

MeiosisMap PrepareMeiosis(const GeneticMap& locusTable) {
  static const std::int32_t belowHalf = CombinedOutputsBelow(0.5);
  MeiosisMap map{};
  for (int k = 0; k < kLoci; ++k) {
    if (k == 0 || locusTable[k].Chromosome > locusTable[k - 1].Chromosome) {
      map.Count[static_cast<std::size_t>(k)] = belowHalf;
      map.ChromosomeStarts[static_cast<std::size_t>(k / 64)] |= std::uint64_t{1} << (k % 64);
    } else {
      map.Count[static_cast<std::size_t>(k)] = CrossoverCount(locusTable[k - 1], locusTable[k]);
    }
  }
  return map;
}

// A gamete is a choice between the parent's two homologues, taken segment by
// segment: the homologue switches at each crossover, and every chromosome
// starts afresh on a homologue of its own. The draws of 64 loci come first,
// in a loop that does nothing but draw, so the stream runs at its full speed
// (its state held in registers); the 64 decisions follow at once. Comparing
// each output with its locus's count marks the switches; the homologue a
// locus copies is then the parity of the switches up to it (1 for the
// second), carried over from the word before, and at a chromosome start,
// where the mark says "first homologue" rather than "switch", the parity
// from there on is corrected so that the locus copies the homologue drawn.
// Finally the choice takes each locus's bit from one homologue or the other.
void DrawGamete(const DiploidGenome& parent, const MeiosisMap& map, RandomStream& stream, HomologueBits& gamete) {
  REQUIRES(&gamete != &parent.Homologue[0] && &gamete != &parent.Homologue[1]);
  // The stream restarts, if it must, before the first draw; its parts then
  // live in local variables until the last (see NextCombinedOfStarted).
  if (stream.Seed <= 0) [[unlikely]]
    stream = RestartGenerator(stream.Seed);
  std::int32_t seed = stream.Seed, secondSeed = stream.SecondSeed, lastDraw = stream.LastDraw;
  std::array<std::int32_t, 32> shuffleTable = stream.ShuffleTable;
#ifndef __EMSCRIPTEN__
  std::array<std::int32_t, 64> outputs{};
#endif
  std::array<std::uint8_t, 64> marked{};
  std::uint64_t previous = 0;  // the homologue of the locus before
  for (std::size_t word = 0; word < kGenomeWords; ++word) {
    const std::size_t first = 64 * word;
    const std::size_t loci = std::min<std::size_t>(64, kLoci - first);
#ifdef __EMSCRIPTEN__
    // In WebAssembly each draw is compared as it is made, beside the
    // stream's dependency chain: a second pass over the outputs costs a
    // WebAssembly engine a tenth of a gamete, where a processor's vector
    // compare makes it nearly free. Past the last locus nothing is marked.
    for (std::size_t i = 0; i < loci; ++i) {
      marked[i] = NextCombinedOfStarted(seed, secondSeed, lastDraw, shuffleTable) <= map.Count[first + i];
    }
#else
    for (std::size_t i = 0; i < loci; ++i) outputs[i] = NextCombinedOfStarted(seed, secondSeed, lastDraw, shuffleTable);
    // Past the last locus the marks are meaningless; they pick between the
    // parent's bits there, which are clear on both homologues.
    for (std::size_t i = 0; i < 64; ++i) marked[i] = outputs[i] <= map.Count[first + i];
#endif
    std::uint64_t marks = 0;
    for (std::size_t byte = 0; byte < 8; ++byte) marks |= PackBits(&marked[8 * byte]) << (8 * byte);
    std::uint64_t choice = RunningParity(marks) ^ (0 - previous);
    for (std::uint64_t starts = map.ChromosomeStarts[word]; starts != 0; starts &= starts - 1) {
      // The parity gives this locus the homologue before it, switched on a
      // mark; a chromosome start needs the second homologue unless marked.
      // The two agree when the locus before copies the second homologue;
      // otherwise every locus from here on flips.
      const int start = std::countr_zero(starts);
      const std::uint64_t before = start == 0 ? previous : (choice >> (start - 1)) & 1;
      choice ^= (before - 1) & (~std::uint64_t{0} << start);
    }
    previous = (choice >> (loci - 1)) & 1;
    const std::uint64_t one = parent.Homologue[0][word], two = parent.Homologue[1][word];
    gamete[word] = one ^ ((one ^ two) & choice);
  }
  stream.Seed = seed;
  stream.SecondSeed = secondSeed;
  stream.LastDraw = lastDraw;
  stream.ShuffleTable = shuffleTable;
}

void InbreedBySelfing(DiploidGenome& genome, const MeiosisMap& map, RandomStream& stream) {
  DiploidGenome offspring;
  for (int generation = 0; generation < kSelfingGenerations; ++generation) {
    DrawGamete(genome, map, stream, offspring.Homologue[0]);
    DrawGamete(genome, map, stream, offspring.Homologue[1]);
    genome = offspring;
  }
  // The line is fixed from the last plant's first homologue.
  genome.Homologue[1] = genome.Homologue[0];
}

}  // namespace plotwright
