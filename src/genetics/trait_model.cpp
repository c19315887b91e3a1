#include "genetics/trait_model.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "genetics/exact_functions.h"
#include "requires.h"

namespace plotwright {
namespace {

// Effects decay geometrically: the k-th QTL of a trait has the ratio to the
// power k, correctly rounded so that every machine builds the same effects.
// A locus table may repeat QTL numbers, so a count of protein QTL can reach
// kLoci, still within RoundedIntegerPower's range. The ratios are
// single-precision values of (n - 1)/(n + 1) for 400 yield, 80 protein and
// 40 Fhb QTL-equivalents.
constexpr double kYieldRatio = static_cast<double>(static_cast<float>(kQtl - 1) / (kQtl + 1));
constexpr double kProteinRatio = static_cast<double>(79.0f / 81.0f);
constexpr double kFhbRatio = static_cast<double>(39.0f / 41.0f);
// The first Fhb QTL along the genome is the major resistance gene.
constexpr double kMajorGeneFactor = 3.0;
constexpr int kFhbQtlLimit = 26;
constexpr int kFirstFhbQtl = 270;

constexpr int kHomozygous1 = 0, kHomozygous2 = 1;

// For every locus of a genome, where its genotype's values start in a Term:
// three times the number of copies of allele 2, so 0 and 6 for the two
// homozygotes and 3 for a heterozygote.
using GenotypeRows = std::array<std::uint8_t, 64 * std::size_t{kGenomeWords}>;

// Eight allele bits at a time: entry b holds, in byte i, 3 if bit i of b is
// set and 0 if not. The bits are copied into every byte, each byte keeps its
// own, and adding 0x7F carries a kept bit to the top of its byte.
const std::array<std::uint64_t, 256>& ThreeForEachBit() {
  static const std::array<std::uint64_t, 256> table = [] {
    std::array<std::uint64_t, 256> made{};
    for (std::uint64_t b = 0; b < 256; ++b) {
      const std::uint64_t kept = (b * 0x0101010101010101ULL) & 0x8040201008040201ULL;
      made[b] = 3 * (((kept + 0x7F7F7F7F7F7F7F7FULL) >> 7) & 0x0101010101010101ULL);
    }
    return made;
  }();
  return table;
}

void FindGenotypeRows(const DiploidGenome& genome, GenotypeRows& rows) {
  static_assert(std::endian::native == std::endian::little, "byte i of a word must be locus i");
  const std::array<std::uint64_t, 256>& three = ThreeForEachBit();
  for (std::size_t word = 0; word < kGenomeWords; ++word) {
    std::uint64_t first = genome.Homologue[0][word], second = genome.Homologue[1][word];
    for (std::size_t byte = 0; byte < 8; ++byte, first >>= 8, second >>= 8) {
      const std::uint64_t eight = three[first & 0xFF] + three[second & 0xFF];
      std::memcpy(rows.data() + 64 * word + 8 * byte, &eight, sizeof eight);
    }
  }
}

// A locus whose genotype picks what is added to the three sums: the values
// for 0, 1 and 2 copies of allele 2, three traits each.
constexpr std::size_t kTermValues = 3 * std::size_t{kTraits};
struct Term {
  int Locus;
  std::array<double, kTermValues> Values;
};

// Entries are summed a few at a time: each entry's sums still run over the
// terms in their order, but the sums of different entries, and of the three
// traits, do not wait on one another. Six entries keep all their sums in
// the processor's sixteen vector registers.
constexpr std::size_t kBlock = 6;

// The sums over a list of terms, in its order, of the values each entry's
// genotypes pick, starting from 0.0, written to one row per entry.
struct TermSums {
  const std::vector<Term>& Terms;
  std::span<TraitValues> Sums;
};

// Every list of `sums` for each of `genomes`, reading each genome once.
void SumTerms(std::span<const DiploidGenome> genomes, std::initializer_list<TermSums> sums) {
  std::array<GenotypeRows, kBlock> rows;
  for (std::size_t begin = 0; begin < genomes.size(); begin += kBlock) {
    const std::size_t size = std::min(kBlock, genomes.size() - begin);
    // A short last block repeats its last genome.
    for (std::size_t e = 0; e < kBlock; ++e) FindGenotypeRows(genomes[begin + std::min(e, size - 1)], rows[e]);
    for (const TermSums& list : sums) {
      std::array<TraitValues, kBlock> sum{};
      for (const Term& term : list.Terms) {
        for (std::size_t e = 0; e < kBlock; ++e) {
          const std::size_t row = rows[e][static_cast<std::size_t>(term.Locus)];
          for (std::size_t t = 0; t < kTraits; ++t) sum[e][t] += term.Values[row + t];
        }
      }
      std::copy_n(sum.begin(), size, list.Sums.begin() + static_cast<std::ptrdiff_t>(begin));
    }
  }
}

// The three rows of a Term, for 0, 1 and 2 copies of allele 2.
std::array<double, kTermValues> Rows(const TraitValues& none, const TraitValues& one, const TraitValues& two) {
  std::array<double, kTermValues> values;
  std::copy(none.begin(), none.end(), values.begin());
  std::copy(one.begin(), one.end(), values.begin() + kTraits);
  std::copy(two.begin(), two.end(), values.begin() + 2 * std::ptrdiff_t{kTraits});
  return values;
}

// The genotypic value terms: the QTL in genome order. A heterozygote adds
// nothing (the model has no dominance); adding 0.0 in its place leaves
// every sum as it was, since a sum that starts at +0.0 is never -0.0.
std::vector<Term> QtlTerms(const GeneticMap& locusTable, const QtlEffectTable& QtlEffects) {
  std::vector<Term> terms;
  terms.reserve(kQtl);
  for (int k = 0; k < kLoci; ++k) {
    const int c = locusTable[k].QtlOrMarker;
    if (c <= 0 || c > kQtl) continue;
    terms.push_back({k, Rows(QtlEffects[c][kHomozygous1], TraitValues{}, QtlEffects[c][kHomozygous2])});
  }
  return terms;
}

// The prediction terms: one per marker-effect row, in row order, holding the
// products of the marker's score (-1, 0 or +1 for 0, 1 or 2 copies of allele
// 2) and its effects, the very products the sum is made of, worked out once.
// A marker missing from the map scores 0; the intercept's score is 1.
std::vector<Term> MarkerTerms(const GeneticMap& locusTable, const std::array<TraitValues, kMarkerRows>& MarkerEffects) {
  std::vector<int> locusOfMarker(kMarkers, -1);
  for (int k = 0; k < kLoci; ++k) {
    const int m = -locusTable[k].QtlOrMarker;
    if (m >= 1 && m <= kMarkers) locusOfMarker[static_cast<std::size_t>(m - 1)] = k;
  }
  const auto products = [&MarkerEffects](std::size_t row, int score) {
    TraitValues values;
    for (std::size_t t = 0; t < kTraits; ++t) values[t] = score * MarkerEffects[row][t];
    return values;
  };
  std::vector<Term> terms(kMarkerRows);
  for (std::size_t m = 0; m < kMarkerRows; ++m) {
    const bool intercept = m == kMarkerRows - 1;
    const int locus = intercept ? -1 : locusOfMarker[m];
    if (locus < 0) {
      const TraitValues constant = products(m, intercept ? 1 : 0);
      terms[m] = {0, Rows(constant, constant, constant)};
    } else {
      terms[m] = {locus, Rows(products(m, -1), products(m, 0), products(m, 1))};
    }
  }
  return terms;
}

// Where the map holds the Fhb gene (normally once).
std::vector<int> FhbGeneLoci(const GeneticMap& locusTable) {
  std::vector<int> loci;
  for (int k = 0; k < kLoci; ++k) {
    if (locusTable[k].QtlOrMarker == kFhbGeneQtl) loci.push_back(k);
  }
  return loci;
}

// Copies of the resistance allele, allele 1, at the Fhb gene: two for a
// homozygote, one for a heterozygote, none for the other homozygote or when
// the map lacks the gene.
int FhbGeneScore(const DiploidGenome& genome, const std::vector<int>& geneLoci) {
  int score = 0;
  for (int k : geneLoci) {
    const AlleleCode a1 = AlleleAt(genome, 0, k);
    const AlleleCode a2 = AlleleAt(genome, 1, k);
    if (a1 != a2) {
      score = 1;
    } else if (a1 == 1) {
      score = 2;
    }
  }
  return score;
}

}  // namespace

void BuildQtlEffects(const GeneticMap& locusTable, QtlEffectTable& QtlEffects) {
  QtlEffects = {};
  int proteinCount = 0;
  int fhbCount = 0;
  for (const LocusRecord& locus : locusTable) {
    const int c = locus.QtlOrMarker;
    if (c <= 0 || c > kQtl) continue;
    QtlClassEffects& effects = QtlEffects[c];
    effects = {};
    // Odd and even QTL numbers alternate which allele raises the trait.
    const double s = c % 2 == 1 ? 1.0 : -1.0;

    const double a = RoundedIntegerPower(kYieldRatio, c);
    effects[kHomozygous1][kYield] = -s * a;
    effects[kHomozygous2][kYield] = s * a;

    // Every fifth QTL also affects protein, with the opposite sign, so these
    // are the QTL where yield and protein trade off. Its exponent counts the
    // protein QTL in genome order, not by number.
    if (c % 5 != 3) continue;
    ++proteinCount;
    const double a2 = RoundedIntegerPower(kProteinRatio, proteinCount);
    effects[kHomozygous1][kProtein] = s * a2;
    effects[kHomozygous2][kProtein] = -s * a2;

    // The protein QTL numbered from 270 up also affect Fhb severity, again
    // counted in genome order; the allele that lowers severity lowers yield.
    if (c < kFirstFhbQtl || fhbCount >= kFhbQtlLimit) continue;
    ++fhbCount;
    double a3 = RoundedIntegerPower(kFhbRatio, fhbCount);
    if (fhbCount == 1) a3 *= kMajorGeneFactor;
    effects[kHomozygous1][kFhb] = -s * a3;
    effects[kHomozygous2][kFhb] = s * a3;
  }
}

void EvaluateGenome(const DiploidGenome& genome, const GeneticMap& locusTable, const QtlEffectTable& QtlEffects,
                    TraitValues& raw, int& fhbScore) {
  SumTerms({&genome, 1}, {{QtlTerms(locusTable, QtlEffects), {&raw, 1}}});
  fhbScore = FhbGeneScore(genome, FhbGeneLoci(locusTable));
}

void PredictFromMarkers(std::span<const DiploidGenome> genomes, const GeneticMap& locusTable,
                        const std::array<TraitValues, kMarkerRows>& MarkerEffects, std::span<TraitValues> predictions) {
  REQUIRES(predictions.size() >= genomes.size());
  SumTerms(genomes, {{MarkerTerms(locusTable, MarkerEffects), predictions}});
}

double ToTraitScale(double raw, int trait) {
  REQUIRES(trait >= 0 && trait < kTraits);
  const TraitScaleRow& scale = kTraitScale[static_cast<std::size_t>(trait)];
  return (raw - scale.RawMean) / scale.RawSd * scale.TargetSd + scale.TargetMean;
}

TraitValues ToTraitScales(const TraitValues& raw) {
  return {ToTraitScale(raw[kYield], kYield), ToTraitScale(raw[kProtein], kProtein), ToTraitScale(raw[kFhb], kFhb)};
}

void EvaluatePopulation(std::span<const DiploidGenome> genomes, const ReferenceTables& reference,
                        std::span<TraitValues> GenValue, std::span<int> FhbScore, std::span<TraitValues> Prediction) {
  REQUIRES(GenValue.size() == genomes.size() && FhbScore.size() == genomes.size() &&
           Prediction.size() == genomes.size());
  SumTerms(genomes, {{QtlTerms(reference.LocusTable, reference.QtlEffects), GenValue},
                     {MarkerTerms(reference.LocusTable, reference.MarkerEffects), Prediction}});
  const std::vector<int> geneLoci = FhbGeneLoci(reference.LocusTable);
  for (std::size_t i = 0; i < genomes.size(); ++i) {
    GenValue[i] = ToTraitScales(GenValue[i]);
    FhbScore[i] = FhbGeneScore(genomes[i], geneLoci);
  }
}

}  // namespace plotwright
