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

// Crossover probabilities of the intervals met on any plausible map, worked
// out once; a wider interval falls back on the formula itself.
constexpr int kTabulatedCentimorgans = 4096;

double KosambiFormula(int centimorgans) {
  // With x = 4d (d in Morgans), 0.5 (e^x - 1) / (e^x + 1) = 0.5 tanh(2d).
  const double x = static_cast<double>(centimorgans) / 100.0 * 4.0;
  const double p = std::pow(kMapBase, x);
  return 0.5 * (p - 1.0) / (p + 1.0);
}

const std::vector<double>& TabulatedFractions() {
  static const std::vector<double> table = [] {
    std::vector<double> fractions(kTabulatedCentimorgans);
    for (int m = 0; m < kTabulatedCentimorgans; ++m) fractions[m] = KosambiFormula(m);
    return fractions;
  }();
  return table;
}

// A draw below one half picks the first homologue.
inline int PickHomologue(double u) { return u < 0.5 ? 0 : 1; }

}  // namespace

double RecombinationFraction(int centimorgans) {
  if (centimorgans >= 0 && centimorgans < kTabulatedCentimorgans) {
    return TabulatedFractions()[static_cast<std::size_t>(centimorgans)];
  }
  return KosambiFormula(centimorgans);
}

void DrawGamete(const DiploidGenome& parent, const std::array<LocusRecord, kLoci>& locusTable,
                std::int32_t& Seed, Gamete& gamete) {
  const std::vector<double>& fractions = TabulatedFractions();
  int h = PickHomologue(DrawUniform(Seed));
  gamete[0] = parent.Homologue[h][0];
  for (int k = 1; k < kLoci; ++k) {
    const double u = DrawUniform(Seed);
    if (locusTable[k].Chromosome > locusTable[k - 1].Chromosome) {
      h = PickHomologue(u);
    } else {
      // Fractions of a centimorgan are dropped; an interval under 1 cM, or a
      // position that goes back, has r <= 0 and never recombines (u > 0).
      const std::int64_t distance =
          static_cast<std::int64_t>(locusTable[k].Position) - locusTable[k - 1].Position;
      const int m = static_cast<int>(distance / kPositionUnitsPerCentimorgan);
      if (m > 0) {
        const double r = m < kTabulatedCentimorgans ? fractions[static_cast<std::size_t>(m)]
                                                    : KosambiFormula(m);
        if (u <= r) h = 1 - h;
      }
    }
    gamete[k] = parent.Homologue[h][k];
  }
}

void InbreedBySelfing(DiploidGenome& genome, const std::array<LocusRecord, kLoci>& locusTable,
                      std::int32_t& Seed) {
  DiploidGenome offspring;
  for (int generation = 0; generation < kSelfingGenerations; ++generation) {
    DrawGamete(genome, locusTable, Seed, offspring.Homologue[0]);
    DrawGamete(genome, locusTable, Seed, offspring.Homologue[1]);
    genome = offspring;
  }
  // The line is fixed from the last plant's first homologue.
  genome.Homologue[1] = genome.Homologue[0];
}

}  // namespace plotwright
