// Makes the game's reference data and writes the three files into the folder
// named on the command line:
//   zForbidden.csv  the genetic map: 912 loci on the 21 chromosomes of bread
//                   wheat, each locus a QTL (positive number) or a marker
//                   (negated number), with its chromosome and its position
//                   in tenths of a cM;
//   zHandsOff.csv   the allele codes of the 15 founder lines at every locus;
//   zKeepOut.csv    the marker effects for genomewide prediction and, last,
//                   the intercepts, on the scales shown to the player.
//
// The world is made the way a breeder's germplasm comes about. A few
// ancestral haplotypes found four breeding pools, which recombine on the map
// for generations under their own selection; lines drawn from the pools are
// inbred, and the fifteen founders are chosen among them so that the F2 of
// all their crosses has the spread the game's trait scales assume and a
// thoughtful breeder, but not a lucky one, can reach the standards. The
// marker effects are then estimated, as a breeding programme would, by ridge
// regression of field-trial means of a training population of inbred lines
// on their marker scores.
//
// Everything comes from fixed seeds and runs on one thread in a fixed order,
// so a rerun writes the same bytes; the tests check that the committed files
// are exactly what this program writes. With --report it also measures the
// world it wrote with the game's own simulation: the F2 of all crosses
// against the trait scales, and the accuracy of the predictions in ten
// crosses kept out of the training population.
//
// Usage: make_reference_data [--report | --founders-only] [--world NAME] [--draw N] <folder>
// NAME is one of the worlds of world_settings.cpp (by default the shipped
// one); N draws its seeds anew (0: as they are). --founders-only makes the
// map and the founders in a hurry, for checks of the panel and the founders:
// one shaping pass at most, and no marker effects (all written as 0).

#include <Eigen/Dense>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <numeric>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "game/population.h"
#include "game/standards.h"
#include "genetics/f2_population.h"
#include "genetics/meiosis.h"
#include "genetics/random.h"
#include "genetics/single_seed_descent.h"
#include "genetics/trait_model.h"
#include "selection/marker_screening.h"
#include "split_mix.h"
#include "statistics.h"
#include "textio/files.h"
#include "trials/phenotyping.h"
#include "world_settings.h"

namespace {

using plotwright::AlleleAt;
using plotwright::Correlation;
using plotwright::DiploidGenome;
using plotwright::Gamete;
using plotwright::kFounders;
using plotwright::kLoci;
using plotwright::kMarkerRows;
using plotwright::kMarkers;
using plotwright::kQtl;
using plotwright::kTraits;
using plotwright::LocusRecord;
using plotwright::RandomStream;
using plotwright::TraitValues;
using LocusTable = plotwright::GeneticMap;
using plotwright::Diploid;
using plotwright::QtlEffectTable;

using plotwright::tools::BreedingPool;
using plotwright::tools::SplitMix64;
using plotwright::tools::WorldSettings;

template <typename T>
void Shuffle(SplitMix64& rng, std::vector<T>& items) {
  for (std::size_t i = items.size(); i > 1; --i)
    std::swap(items[i - 1], items[static_cast<std::size_t>(rng.Below(static_cast<int>(i)))]);
}

// ---------------------------------------------------------------------------
// The map

// Lengths of the 21 linkage groups of a published bread-wheat consensus map,
// in genome order 1A, 1B, 1D, ..., 7D (see docs/reference-data.md for the
// source), rounded to whole centimorgans.
struct ChromosomeLength {
  const char* Name;
  int Centimorgans;
};
constexpr std::array<ChromosomeLength, 21> kWheatMap = {{
    {"1A", 178}, {"1B", 182}, {"1D", 171}, {"2A", 181}, {"2B", 176}, {"2D", 165}, {"3A", 187},
    {"3B", 165}, {"3D", 158}, {"4A", 171}, {"4B", 125}, {"4D", 118}, {"5A", 226}, {"5B", 200},
    {"5D", 213}, {"6A", 154}, {"6B", 142}, {"6D", 159}, {"7A", 227}, {"7B", 180}, {"7D", 217},
}};
constexpr int kChromosomes = static_cast<int>(kWheatMap.size());
// Chromosome 3B: the major Fhb resistance gene lies near the distal end of
// its short arm, where the map of the chromosome begins.
constexpr int kFhbGeneChromosome = 8;
// Its locus: the second of the chromosome.
constexpr int kFhbGeneLocusOnChromosome = 1;

// Loci on each chromosome in proportion to its length (largest remainders
// take the loci left over), and positions rising along it. The gaps between
// neighbours are the chromosome's mean spacing times 0.35 + an exponential
// draw, rescaled to span the chromosome, so they vary as on a real map but
// are nearly always 1 cM or more: the game's map function ignores
// fractions of a centimorgan, and closer loci would never recombine.
LocusTable MakeMap(SplitMix64& rng) {
  int total = 0;
  for (const ChromosomeLength& c : kWheatMap) total += c.Centimorgans;
  std::array<int, kChromosomes> loci{};
  std::vector<int> order(kChromosomes);
  for (int c = 0; c < kChromosomes; ++c) {
    loci[c] = kLoci * kWheatMap[c].Centimorgans / total;
    order[c] = c;
  }
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return kLoci * kWheatMap[a].Centimorgans % total > kLoci * kWheatMap[b].Centimorgans % total;
  });
  int left = kLoci - std::accumulate(loci.begin(), loci.end(), 0);
  for (int i = 0; left > 0; ++i, --left) ++loci[order[i]];

  LocusTable map{};
  int k = 0;
  for (int c = 0; c < kChromosomes; ++c) {
    const int n = loci[c];
    // n + 1 gaps: before the first locus, between loci, after the last.
    std::vector<double> gaps(static_cast<std::size_t>(n + 1));
    double sum = 0;
    for (double& g : gaps) {
      g = 0.35 - std::log(rng.Uniform());
      sum += g;
    }
    // The ends of a chromosome get half a gap, so loci reach near its tips.
    sum -= (gaps.front() + gaps.back()) / 2;
    const double tenths = kWheatMap[c].Centimorgans * 10.0;
    double at = gaps.front() / 2;
    for (int i = 0; i < n; ++i) {
      map[k].Chromosome = c + 1;
      map[k].Position = static_cast<int>(std::lround(at / sum * tenths));
      at += gaps[static_cast<std::size_t>(i) + 1];
      ++k;
    }
  }
  return map;
}

// Fhb QTL are the protein QTL (number mod 5 = 3) numbered 270 and above.
bool IsFhbQtl(int code) { return code >= 270 && code <= kQtl && code % 5 == 3; }

// Every QTL and every marker once, in shuffled genome order. QTL 303 then
// takes the locus of the Fhb gene on 3BS, and every other Fhb QTL that would
// precede it trades places with a yield or protein QTL behind it, so 303 is
// the first Fhb QTL of the genome and carries the major-gene effect.
void NumberLoci(SplitMix64& rng, LocusTable& map) {
  std::vector<int> codes;
  for (int c = 1; c <= kQtl; ++c) codes.push_back(c);
  for (int m = 1; m <= kMarkers; ++m) codes.push_back(-m);
  Shuffle(rng, codes);

  int gene = 0;
  while (map[gene].Chromosome != kFhbGeneChromosome) ++gene;
  gene += kFhbGeneLocusOnChromosome;
  std::swap(codes[gene], *std::find(codes.begin(), codes.end(), plotwright::kFhbGeneQtl));
  for (int k = 0; k < gene; ++k) {
    while (IsFhbQtl(codes[k])) {
      const int later = gene + 1 + rng.Below(kLoci - gene - 1);
      if (codes[later] > 0 && !IsFhbQtl(codes[later])) std::swap(codes[k], codes[later]);
    }
  }
  for (int k = 0; k < kLoci; ++k) map[k].QtlOrMarker = codes[k];
}

int LocusOf(const LocusTable& map, int code) {
  for (int k = 0; k < kLoci; ++k) {
    if (map[k].QtlOrMarker == code) return k;
  }
  return -1;
}

// A QTL for protein that is no Fhb QTL.
bool IsProteinOnlyQtl(int code) { return code > 0 && code % 5 == 3 && !IsFhbQtl(code); }
// A QTL for yield alone: trading its locus with a marker's changes no
// protein or Fhb effect, since only those depend on the order of the QTL.
bool IsYieldOnlyQtl(int code) { return code > 0 && code % 5 != 3; }

// The loci next to locus k on its chromosome.
std::vector<int> Neighbours(const LocusTable& map, int k) {
  std::vector<int> next;
  if (k > 0 && map[k - 1].Chromosome == map[k].Chromosome) next.push_back(k - 1);
  if (k + 1 < kLoci && map[k + 1].Chromosome == map[k].Chromosome) next.push_back(k + 1);
  return next;
}

// Loci within `distance` tenths of a cM of locus k, on its chromosome.
bool Near(const LocusTable& map, int k, int other, int distance) {
  return map[k].Chromosome == map[other].Chromosome && std::abs(map[k].Position - map[other].Position) <= distance;
}

// A breeder's panel: markers are sought beside the Fhb QTL, and none sits
// near the major gene or a QTL for protein alone. Markers trade loci with
// yield-only QTL, so the QTL numbers keep their order where it matters.
void ArrangePanel(SplitMix64& rng, LocusTable& map, const WorldSettings& world) {
  if (world.GeneClearance == 0 && world.ProteinClearance == 0 && !world.MarkersBesideFhbQtl) return;
  const int gene = LocusOf(map, plotwright::kFhbGeneQtl);
  std::vector<bool> barred(kLoci, false), wanted(kLoci, false);
  for (int k = 0; k < kLoci; ++k) {
    if (world.GeneClearance > 0 && Near(map, k, gene, world.GeneClearance)) barred[k] = true;
  }
  for (int q = 0; q < kLoci; ++q) {
    const int code = map[q].QtlOrMarker;
    if (world.ProteinClearance > 0 && IsProteinOnlyQtl(code)) {
      for (int k = 0; k < kLoci; ++k) barred[k] = barred[k] || Near(map, k, q, world.ProteinClearance);
    }
    if (world.MarkersBesideFhbQtl && IsFhbQtl(code) && code != plotwright::kFhbGeneQtl) {
      for (int k : Neighbours(map, q)) wanted[k] = true;
    }
  }
  // Free places for a marker: yield-only QTL loci neither barred nor wanted.
  std::vector<int> free;
  for (int k = 0; k < kLoci; ++k) {
    if (!barred[k] && !wanted[k] && IsYieldOnlyQtl(map[k].QtlOrMarker)) free.push_back(k);
  }
  Shuffle(rng, free);
  const auto take = [&]() {
    const int k = free.back();
    free.pop_back();
    return k;
  };
  // Wanted loci first: each takes a marker from a barred locus, else from
  // anywhere that is not wanted itself.
  std::vector<int> misplaced, spare;
  for (int k = 0; k < kLoci; ++k) {
    if (map[k].QtlOrMarker >= 0) continue;
    if (barred[k])
      misplaced.push_back(k);
    else if (!wanted[k])
      spare.push_back(k);
  }
  Shuffle(rng, spare);
  for (int k = 0; k < kLoci; ++k) {
    if (!wanted[k] || barred[k] || !IsYieldOnlyQtl(map[k].QtlOrMarker)) continue;
    std::vector<int>& from = misplaced.empty() ? spare : misplaced;
    if (from.empty()) break;
    std::swap(map[k].QtlOrMarker, map[from.back()].QtlOrMarker);
    from.pop_back();
  }
  for (int k : misplaced) {
    if (free.empty()) break;
    std::swap(map[k].QtlOrMarker, map[take()].QtlOrMarker);
  }
}

// ---------------------------------------------------------------------------
// Genomes

Gamete FirstHomologue(const DiploidGenome& genome) {
  Gamete gamete{};
  for (int k = 0; k < kLoci; ++k) gamete[k] = AlleleAt(genome, 0, k);
  return gamete;
}

// Genotypic values of an inbred line on the scales shown to the player.
TraitValues LineValues(const Gamete& line, const LocusTable& map, const QtlEffectTable& effects) {
  TraitValues raw{};
  int score = 0;
  plotwright::EvaluateGenome(Diploid(line, line), map, effects, raw, score);
  return plotwright::ToTraitScales(raw);
}

// ---------------------------------------------------------------------------
// The breeding history

// Each pool is bred for generations, each from the best 70 percent of the
// plants of the last (by the pool's index plus a normal deviate of SD 2,
// since breeders select on field plots, not on genotypes).
constexpr int kPoolSize = 100;
constexpr int kGenerations = 12;
constexpr int kKeptPercent = 70;
constexpr double kSelectionNoise = 2.0;
constexpr int kLinesPerPool = 40;

// Ancestral haplotypes: random alleles; at the Fhb gene the resistance
// allele in the donors only.
std::vector<Gamete> MakeAncestors(SplitMix64& rng, int gene, const WorldSettings& world) {
  std::vector<Gamete> ancestors(static_cast<std::size_t>(world.Ancestors));
  for (Gamete& a : ancestors) {
    for (int k = 0; k < kLoci; ++k) a[k] = static_cast<plotwright::AlleleCode>(1 + rng.Below(2));
    a[gene] = 2;
  }
  for (int donor : world.ResistanceDonors) ancestors[static_cast<std::size_t>(donor)][gene] = 1;
  return ancestors;
}

// Breeds one pool and returns its lines, each inbred by single-seed descent
// from a plant of the last generation.
std::vector<Gamete> BreedPool(SplitMix64& rng, RandomStream& stream, const BreedingPool& pool,
                              const std::vector<Gamete>& ancestors, const LocusTable& map,
                              const QtlEffectTable& effects) {
  std::vector<DiploidGenome> plants(kPoolSize);
  for (DiploidGenome& plant : plants) {
    const int a = pool.Ancestors[rng.Below(static_cast<int>(pool.Ancestors.size()))];
    const int b = pool.Ancestors[rng.Below(static_cast<int>(pool.Ancestors.size()))];
    plant = Diploid(ancestors[a], ancestors[b]);
  }
  const bool selected = pool.Weights[0] != 0 || pool.Weights[1] != 0 || pool.Weights[2] != 0;
  std::vector<DiploidGenome> next(kPoolSize);
  const plotwright::MeiosisMap meiosis = plotwright::PrepareMeiosis(map);
  for (int g = 0; g < kGenerations; ++g) {
    std::vector<int> parents(kPoolSize);
    std::iota(parents.begin(), parents.end(), 0);
    if (selected) {
      std::vector<double> index(kPoolSize);
      for (int i = 0; i < kPoolSize; ++i) {
        TraitValues raw{};
        int score = 0;
        plotwright::EvaluateGenome(plants[i], map, effects, raw, score);
        index[i] = 0;
        for (int t = 0; t < kTraits; ++t) {
          index[i] += pool.Weights[t] * raw[t] / plotwright::kTraitScale[t].RawSd;
        }
        index[i] += kSelectionNoise * rng.Normal();
      }
      std::stable_sort(parents.begin(), parents.end(), [&](int a, int b) { return index[a] > index[b]; });
      parents.resize(kPoolSize * kKeptPercent / 100);
    }
    const int n = static_cast<int>(parents.size());
    for (DiploidGenome& child : next) {
      plotwright::DrawGamete(plants[parents[rng.Below(n)]], meiosis, stream, child.Homologue[0]);
      plotwright::DrawGamete(plants[parents[rng.Below(n)]], meiosis, stream, child.Homologue[1]);
    }
    plants.swap(next);
  }
  std::vector<Gamete> lines;
  for (int i = 0; i < kLinesPerPool; ++i) {
    DiploidGenome plant = plants[i];
    plotwright::InbreedBySelfing(plant, meiosis, stream);
    lines.push_back(FirstHomologue(plant));
  }
  return lines;
}

// ---------------------------------------------------------------------------
// Choosing the founders

using plotwright::kFhbHighest;
using plotwright::kProteinHighest;
using plotwright::kProteinLowest;
using plotwright::MeetsBothStandards;

// Mean and variance of the raw genotypic values of the F2 of a cross of two
// inbred lines, worked out exactly rather than sampled. The F2 mean is the
// midparent value. At a QTL where the parents differ, a plant's value is
// d (o1 + o2) / 2, with d the value of the first parent's homozygote and o1,
// o2 = +1 or -1 the parent each gamete took its allele from; the two
// gametes are independent, and the origins at two loci of one chromosome
// agree in sign on average by the product of (1 - 2r) over the intervals
// between them, r being each interval's crossover chance. So the variance
// is half the sum of d d' times that product over all pairs of differing
// QTL of a chromosome.
struct CrossMoments {
  TraitValues Mean{};
  TraitValues Variance{};
  // Chances that an inbred line of the cross meets both release standards:
  // any line, and a line screened for the resistance allele.
  double AnyLineWins = 0;
  double ScreenedLineWins = 0;
};

class F2Calculator {
 public:
  F2Calculator(const LocusTable& map, const QtlEffectTable& effects) : map_(map), effects_(effects) {
    for (int k = 0; k < kLoci; ++k) {
      if (map[k].QtlOrMarker > 0) qtlLoci_.push_back(k);
    }
    // Product of (1 - 2r) from the first locus of the chromosome up to each
    // locus; their ratio gives the product between two loci.
    linkage_.resize(kLoci);
    lineLinkage_.resize(kLoci);
    for (int k = 0; k < kLoci; ++k) {
      if (k == 0 || map[k].Chromosome != map[k - 1].Chromosome) {
        linkage_[k] = 1.0;
        lineLinkage_[k] = 1.0;
      } else {
        const int cm = (map[k].Position - map[k - 1].Position) / 10;
        const double r = plotwright::RecombinationFraction(cm);
        linkage_[k] = linkage_[k - 1] * (1.0 - 2.0 * r);
        lineLinkage_[k] = lineLinkage_[k - 1] * (1.0 - 2.0 * r) / (1.0 + 2.0 * r);
      }
    }
  }

  CrossMoments Moments(const Gamete& a, const Gamete& b) const {
    CrossMoments m;
    std::vector<int> differing;
    for (int k : qtlLoci_) {
      const int c = map_[k].QtlOrMarker;
      for (int t = 0; t < kTraits; ++t) {
        m.Mean[t] += (effects_[c][a[k] - 1][t] + effects_[c][b[k] - 1][t]) / 2;
      }
      if (a[k] != b[k]) differing.push_back(k);
    }
    for (std::size_t i = 0; i < differing.size(); ++i) {
      const int ki = differing[i];
      const int ci = map_[ki].QtlOrMarker;
      for (std::size_t j = i; j < differing.size(); ++j) {
        const int kj = differing[j];
        if (map_[kj].Chromosome != map_[ki].Chromosome) break;
        const int cj = map_[kj].QtlOrMarker;
        const double rho = (i == j ? 0.5 : 1.0) * linkage_[kj] / linkage_[ki];
        for (int t = 0; t < kTraits; ++t) {
          m.Variance[t] += rho * effects_[ci][a[ki] - 1][t] * effects_[cj][a[kj] - 1][t];
        }
      }
    }
    return m;
  }

  // The chances that an inbred line of the cross meets both release
  // standards: any line, and a line with the resistance allele at the Fhb
  // gene. Lines are treated as normal in protein and Fhb, with at each
  // differing QTL the value d o of one parent's homozygote or the other's,
  // origins correlated as in recombinant inbred lines ((1 - 2r) / (1 + 2r)
  // per interval). Knowing the allele at the gene fixes its origin and
  // shifts the linked QTL by their correlation with it.
  struct Outlook {
    double Any = 0;
    double Resistant = 0;
  };
  Outlook LineOutlook(const Gamete& a, const Gamete& b, int gene) const {
    std::array<double, 2> mean{};  // protein, Fhb on the display scale
    std::vector<int> differing;
    for (int k : qtlLoci_) {
      const int c = map_[k].QtlOrMarker;
      for (int t = 1; t < kTraits; ++t) mean[t - 1] += (effects_[c][a[k] - 1][t] + effects_[c][b[k] - 1][t]) / 2;
      if (a[k] != b[k]) differing.push_back(k);
    }
    for (int t = 1; t < kTraits; ++t) mean[t - 1] = plotwright::ToTraitScale(mean[t - 1], t);
    const auto display = [&](int k, int t) {
      return effects_[map_[k].QtlOrMarker][a[k] - 1][t] * plotwright::kTraitScale[t].TargetSd /
             plotwright::kTraitScale[t].RawSd;
    };
    // Covariances (protein-protein, protein-Fhb, Fhb-Fhb), unconditional
    // and given the origin at the gene; and the shift of the mean when the
    // origin at the gene is parent a's.
    std::array<double, 3> all{}, given{};
    std::array<double, 2> shift{};
    const bool segregating = a[gene] != b[gene];
    // The differing loci run in genome order, so those of one chromosome
    // are neighbours in the list; only they are correlated.
    std::size_t first = 0, last = 0;
    for (std::size_t i = 0; i < differing.size(); ++i) {
      const int ki = differing[i];
      if (i == last) {
        first = i;
        while (last < differing.size() && map_[differing[last]].Chromosome == map_[ki].Chromosome) ++last;
      }
      for (std::size_t j = first; j < last; ++j) {
        const int kj = differing[j];
        const double rho = LineCorrelation(ki, kj);
        const double rhoGiven = segregating && map_[ki].Chromosome == map_[gene].Chromosome
                                    ? rho - LineCorrelation(ki, gene) * LineCorrelation(kj, gene)
                                    : rho;
        const double pp = display(ki, 1) * display(kj, 1), pf = display(ki, 1) * display(kj, 2),
                     ff = display(ki, 2) * display(kj, 2);
        all[0] += rho * pp, all[1] += rho * pf, all[2] += rho * ff;
        given[0] += rhoGiven * pp, given[1] += rhoGiven * pf, given[2] += rhoGiven * ff;
      }
      if (segregating && map_[ki].Chromosome == map_[gene].Chromosome) {
        shift[0] += LineCorrelation(ki, gene) * display(ki, 1);
        shift[1] += LineCorrelation(ki, gene) * display(ki, 2);
      }
    }
    Outlook outlook;
    outlook.Any = ChanceOfBoth(mean, all);
    if (!segregating) {
      outlook.Resistant = a[gene] == 1 ? outlook.Any : 0.0;
    } else {
      const double sign = a[gene] == 1 ? 1.0 : -1.0;
      outlook.Resistant = ChanceOfBoth({mean[0] + sign * shift[0], mean[1] + sign * shift[1]}, given);
    }
    return outlook;
  }

 private:
  const LocusTable& map_;
  const QtlEffectTable& effects_;
  std::vector<int> qtlLoci_;
  std::vector<double> linkage_;
  std::vector<double> lineLinkage_;

  double LineCorrelation(int k1, int k2) const {
    return k1 < k2 ? lineLinkage_[k2] / lineLinkage_[k1] : lineLinkage_[k1] / lineLinkage_[k2];
  }

  // P(Fhb <= limit and protein within the range) for a normal line with
  // the given means and covariances (protein-protein, protein-Fhb,
  // Fhb-Fhb): Simpson's rule over protein of the normal density times the
  // conditional chance of the Fhb limit.
  static double ChanceOfBoth(const std::array<double, 2>& mean, const std::array<double, 3>& cov) {
    const double sdP = std::sqrt(std::max(cov[0], 1e-12));
    const double slope = cov[1] / (sdP * sdP);
    const double sdF = std::sqrt(std::max(cov[2] - slope * cov[1], 1e-12));
    const double low = std::max(kProteinLowest, mean[0] - 8 * sdP), high = std::min(kProteinHighest, mean[0] + 8 * sdP);
    if (low >= high) return 0;
    constexpr int kSteps = 200;
    const double h = (high - low) / kSteps;
    double sum = 0;
    for (int i = 0; i <= kSteps; ++i) {
      const double y = low + i * h;
      const double z = (y - mean[0]) / sdP;
      const double density = std::exp(-0.5 * z * z) / (sdP * 2.5066282746310002);
      const double fhb = mean[1] + slope * (y - mean[0]);
      const double chance = 0.5 * std::erfc(-(kFhbHighest - fhb) / (sdF * 1.4142135623730951));
      sum += (i == 0 || i == kSteps ? 1 : (i % 2 == 1 ? 4 : 2)) * density * chance;
    }
    return sum * h / 3;
  }
};

// Pooled raw mean and SD over the F2 of all crosses of two different
// founders, each cross with as many plants.
struct PooledF2 {
  TraitValues Mean{};
  TraitValues Sd{};
};

PooledF2 Pool(const std::vector<int>& chosen, const std::vector<std::vector<CrossMoments>>& pairs) {
  PooledF2 pooled;
  TraitValues within{}, square{};
  int crosses = 0;
  for (std::size_t i = 0; i < chosen.size(); ++i) {
    for (std::size_t j = i + 1; j < chosen.size(); ++j) {
      const CrossMoments& m = pairs[chosen[i]][chosen[j]];
      for (int t = 0; t < kTraits; ++t) {
        pooled.Mean[t] += m.Mean[t];
        square[t] += m.Mean[t] * m.Mean[t];
        within[t] += m.Variance[t];
      }
      ++crosses;
    }
  }
  for (int t = 0; t < kTraits; ++t) {
    pooled.Mean[t] /= crosses;
    const double between = square[t] / crosses - pooled.Mean[t] * pooled.Mean[t];
    pooled.Sd[t] = std::sqrt(within[t] / crosses + between);
  }
  return pooled;
}

// Calibration error: each mean's distance from the scale's raw mean in
// units of the raw SD, and each SD's relative distance from the raw SD, the
// latter weighted so that 5 percent counts as much as 0.1 SD; squared and
// summed over the traits.
double CalibrationError(const PooledF2& pooled) {
  double error = 0;
  for (int t = 0; t < kTraits; ++t) {
    const plotwright::TraitScaleRow& scale = plotwright::kTraitScale[t];
    const double mean = (pooled.Mean[t] - scale.RawMean) / scale.RawSd;
    const double sd = (pooled.Sd[t] / scale.RawSd - 1.0) * 2.0;
    error += mean * mean + sd * sd;
  }
  return error;
}

// What the founder search minimises: the calibration error, weighted so that
// a quarter of the tolerances already costs 1, and the distance from a game
// worth playing. A random line of a random cross should rarely meet both
// standards (on average over the crosses, at most kRandomTarget), while the
// three best crosses, screened, should give a fair share of lines that do
// (kBestTarget on average).
constexpr double kRandomTarget = 0.02;
constexpr double kBestTarget = 0.10;
// The pairs of founders: the crosses a game allows, each once.
constexpr int kFounderPairs = kFounders * (kFounders - 1) / 2;
constexpr std::size_t kSearchStarts = 8;
double FounderSetCost(const std::vector<int>& chosen, const std::vector<std::vector<CrossMoments>>& pairs) {
  double any = 0;
  std::vector<double> screened;
  for (std::size_t i = 0; i < chosen.size(); ++i) {
    for (std::size_t j = i + 1; j < chosen.size(); ++j) {
      const CrossMoments& m = pairs[chosen[i]][chosen[j]];
      any += m.AnyLineWins;
      screened.push_back(m.ScreenedLineWins);
    }
  }
  any /= static_cast<double>(screened.size());
  std::partial_sort(screened.begin(), screened.begin() + 3, screened.end(), std::greater<double>());
  const double best = (screened[0] + screened[1] + screened[2]) / 3;
  double cost = 400 * CalibrationError(Pool(chosen, pairs));
  if (any > kRandomTarget) cost += std::pow((any - kRandomTarget) / 0.01, 2);
  if (best < kBestTarget) cost += std::pow((kBestTarget - best) / 0.03, 2);
  return cost;
}

// Finds the founders: eleven lines with the resistance allele and four
// without, one for each founder slot, chosen by steepest descent over swaps
// of one line, from several starts, to the lowest FounderSetCost. Lines that
// meet both release standards are never chosen, nor a line too like one
// chosen already (within 2 bushels, 0.3 percent protein and 1 percent Fhb),
// so founders differ visibly.
std::vector<int> ChooseFounders(SplitMix64& rng, const std::vector<Gamete>& candidates, int gene,
                                const std::vector<std::vector<CrossMoments>>& pairs,
                                const std::vector<TraitValues>& values) {
  const int n = static_cast<int>(candidates.size());
  std::vector<int> order(n);
  std::iota(order.begin(), order.end(), 0);
  Shuffle(rng, order);
  const auto fits = [&](int slot, int line) {
    return (candidates[line][gene] == 1) == (plotwright::kFounderFhbAllele[slot] == 1) &&
           !MeetsBothStandards(values[line]);
  };
  const auto alike = [&](int a, int b) {
    return std::abs(values[a][0] - values[b][0]) < 2.0 && std::abs(values[a][1] - values[b][1]) < 0.3 &&
           std::abs(values[a][2] - values[b][2]) < 1.0;
  };
  const auto allowed = [&](const std::vector<int>& chosen, int slot, int line) {
    if (!fits(slot, line)) return false;
    for (int s = 0; s < kFounders; ++s) {
      if (s != slot && chosen[s] >= 0 && (chosen[s] == line || alike(chosen[s], line))) return false;
    }
    return true;
  };
  // Steepest descent over single swaps from a start.
  const auto descend = [&](std::vector<int> chosen) {
    for (int slot = 0; slot < kFounders; ++slot) {
      for (int line : order) {
        if (chosen[slot] >= 0) break;
        if (allowed(chosen, slot, line)) chosen[slot] = line;
      }
    }
    double best = FounderSetCost(chosen, pairs);
    while (true) {
      int bestSlot = -1, bestLine = -1;
      for (int slot = 0; slot < kFounders; ++slot) {
        for (int line : order) {
          if (!allowed(chosen, slot, line)) continue;
          std::vector<int> trial = chosen;
          trial[slot] = line;
          const double error = FounderSetCost(trial, pairs);
          if (error < best) best = error, bestSlot = slot, bestLine = line;
        }
      }
      if (bestSlot < 0) break;
      chosen[bestSlot] = bestLine;
    }
    return std::make_pair(best, chosen);
  };
  // Starts: each of the most promising crosses of the candidates, its two
  // lines put in the first slots that take them.
  struct Start {
    int First, Second;
    double Chance;
  };
  std::vector<Start> starts;
  for (int a = 0; a < n; ++a) {
    for (int b = a + 1; b < n; ++b) {
      if (!MeetsBothStandards(values[a]) && !MeetsBothStandards(values[b]) && !alike(a, b)) {
        starts.push_back({a, b, pairs[a][b].ScreenedLineWins});
      }
    }
  }
  std::stable_sort(starts.begin(), starts.end(), [](const Start& x, const Start& y) { return x.Chance > y.Chance; });
  starts.resize(std::min<std::size_t>(starts.size(), kSearchStarts));
  std::pair<double, std::vector<int>> best{1e300, {}};
  for (const Start& start : starts) {
    std::vector<int> chosen(kFounders, -1);
    for (int line : {start.First, start.Second}) {
      for (int slot = 0; slot < kFounders; ++slot) {
        if (chosen[slot] < 0 && allowed(chosen, slot, line)) {
          chosen[slot] = line;
          break;
        }
      }
    }
    const auto result = descend(chosen);
    if (result.first < best.first) best = result;
  }
  return best.second;
}

// ---------------------------------------------------------------------------
// Shaping the founders

// The F2 of all crosses stays within half the tolerances of the trait scales
// while founders are shaped, so the game's own F2 lands well inside them.
bool WellCalibrated(const PooledF2& pooled) {
  for (int t = 0; t < kTraits; ++t) {
    const plotwright::TraitScaleRow& scale = plotwright::kTraitScale[t];
    if (std::abs(pooled.Mean[t] - scale.RawMean) / scale.RawSd > 0.05) return false;
    if (std::abs(pooled.Sd[t] / scale.RawSd - 1.0) > 0.025) return false;
  }
  return true;
}

bool Alike(const TraitValues& a, const TraitValues& b) {
  return std::abs(a[0] - b[0]) < 2.0 && std::abs(a[1] - b[1]) < 0.3 && std::abs(a[2] - b[2]) < 1.0;
}

// Changes single QTL alleles of the founders (never at the major gene) to
// bring the lines without the resistance allele, and the carriers closest to
// the carriers' target, towards their targets, while crosses of two carriers
// stay well behind the crosses of a carrier with a line without the allele,
// a random cross rarely wins, and the F2 of all crosses stays on the trait
// scales. A change is kept only if it lowers the cost; passes over all
// alleles in shuffled order go on until none does.
class FounderShaper {
 public:
  FounderShaper(std::array<Gamete, kFounders>& founders, const LocusTable& map, const QtlEffectTable& effects,
                const F2Calculator& calculator, int gene, const WorldSettings& world)
      : founders_(founders),
        map_(map),
        effects_(effects),
        calculator_(calculator),
        gene_(gene),
        world_(world),
        pairs_(kFounders, std::vector<CrossMoments>(kFounders)) {
    for (int f = 0; f < kFounders; ++f) Refresh(f);
    for (int f = 0; f < kFounders; ++f) role_[f] = plotwright::kFounderFhbAllele[f] == 0 ? kNonCarrier : kCarrier;
    // Each target goes, in turn, to the founder of its kind nearest to it
    // that has none yet; a single target for the lines without the allele
    // is shared by them all.
    const auto assign = [&](const plotwright::tools::FounderTarget& target, Role kind) {
      int nearest = -1;
      for (int f = 0; f < kFounders; ++f) {
        if (role_[f] != kind || shaped_[f]) continue;
        if (nearest < 0 || Distance(values_[f], target) < Distance(values_[nearest], target)) nearest = f;
      }
      if (nearest >= 0) shaped_[nearest] = true, target_[nearest] = target;
    };
    if (world.NonCarriers.size() == 1) {
      for (int f = 0; f < kFounders; ++f) {
        if (role_[f] == kNonCarrier) shaped_[f] = true, target_[f] = world.NonCarriers[0];
      }
    } else {
      for (const auto& target : world.NonCarriers) assign(target, kNonCarrier);
    }
    for (const auto& target : world.Carriers) assign(target, kCarrier);
  }

  void Shape(SplitMix64& rng) {
    std::vector<std::pair<int, int>> changes;
    for (int f = 0; f < kFounders; ++f) {
      for (int k = 0; k < kLoci; ++k) {
        if (map_[k].QtlOrMarker > 0 && k != gene_) changes.push_back({f, k});
      }
    }
    double calibration = CalibrationError(Pooled());
    double cost = Cost() + kCalibrationWeight * calibration;
    Passes = 0, Changes = 0;
    for (int pass = 0; pass < world_.ShapingPasses; ++pass) {
      Shuffle(rng, changes);
      bool improved = false;
      for (const auto& [f, k] : changes) {
        Flip(f, k);
        const PooledF2 pooled = Pooled();
        const double newCalibration = CalibrationError(pooled);
        const bool acceptable =
            !MeetsBothStandards(values_[f]) && Distinct(f) && (WellCalibrated(pooled) || newCalibration < calibration);
        const double newCost = acceptable ? Cost() + kCalibrationWeight * newCalibration : cost;
        if (acceptable && newCost < cost - 1e-9) {
          cost = newCost;
          calibration = newCalibration;
          improved = true;
          ++Changes;
        } else {
          Flip(f, k);
        }
      }
      ++Passes;
      if (!improved) break;
    }
  }

  int Passes = 0, Changes = 0;

  double Cost() const {
    double cost = 0;
    for (int f = 0; f < kFounders; ++f) {
      if (shaped_[f]) cost += Distance(values_[f], target_[f]);
    }
    double any = 0, carriers = 0, mixed = 0;
    for (int a = 0; a < kFounders; ++a) {
      for (int b = a + 1; b < kFounders; ++b) {
        const CrossMoments& m = pairs_[a][b];
        any += m.AnyLineWins;
        const bool both = role_[a] != kNonCarrier && role_[b] != kNonCarrier;
        const bool one = (role_[a] == kNonCarrier) != (role_[b] == kNonCarrier);
        if (both) carriers = std::max(carriers, m.ScreenedLineWins);
        if (one) mixed = std::max(mixed, m.ScreenedLineWins);
      }
    }
    any /= kFounderPairs;
    if (any > kRandomTarget) cost += std::pow((any - kRandomTarget) / 0.01, 2);
    if (carriers > 0.5 * mixed) cost += std::pow((carriers - 0.5 * mixed) / 0.01, 2);
    return cost;
  }

 private:
  // The calibration error weighs as in the founder search, so that a change
  // that brings the F2 back to the scales pays for itself.
  static constexpr double kCalibrationWeight = 400;
  enum Role { kCarrier, kNonCarrier };

  // Squared distance in units of 0.25 percent protein and 0.5 percent Fhb.
  static double Distance(const TraitValues& v, const plotwright::tools::FounderTarget& target) {
    return std::pow((v[1] - target.Protein) / 0.25, 2) + std::pow((v[2] - target.Fhb) / 0.5, 2);
  }

  void Flip(int f, int k) {
    founders_[f][k] = static_cast<plotwright::AlleleCode>(3 - founders_[f][k]);
    Refresh(f);
  }

  void Refresh(int f) {
    values_[f] = LineValues(founders_[f], map_, effects_);
    for (int g = 0; g < kFounders; ++g) {
      if (g == f) continue;
      CrossMoments m = calculator_.Moments(founders_[f], founders_[g]);
      const F2Calculator::Outlook outlook = calculator_.LineOutlook(founders_[f], founders_[g], gene_);
      m.AnyLineWins = outlook.Any;
      m.ScreenedLineWins = outlook.Resistant;
      pairs_[f][g] = m;
      // The moments are symmetric; the screened outlook does not depend on
      // which parent is named first.
      pairs_[g][f] = m;
    }
  }

  bool Distinct(int f) const {
    for (int g = 0; g < kFounders; ++g) {
      if (g != f && Alike(values_[f], values_[g])) return false;
    }
    return true;
  }

  PooledF2 Pooled() const {
    std::vector<int> all(kFounders);
    std::iota(all.begin(), all.end(), 0);
    return Pool(all, pairs_);
  }

  std::array<Gamete, kFounders>& founders_;
  const LocusTable& map_;
  const QtlEffectTable& effects_;
  const F2Calculator& calculator_;
  int gene_;
  const WorldSettings& world_;
  std::vector<std::vector<CrossMoments>> pairs_;
  std::array<TraitValues, kFounders> values_{};
  std::array<Role, kFounders> role_{};
  std::array<bool, kFounders> shaped_{};
  std::array<plotwright::tools::FounderTarget, kFounders> target_{};
};

// Markers beside an Fhb QTL (at most `perQtl` of them, the first in genome
// order) carry, in every founder, the allele the founder has at that QTL, as
// markers do that were bred alongside the QTL for long.
void PhaseFhbMarkers(std::array<Gamete, kFounders>& founders, const LocusTable& map, int perQtl) {
  for (int q = 0; q < kLoci; ++q) {
    const int code = map[q].QtlOrMarker;
    if (!IsFhbQtl(code) || code == plotwright::kFhbGeneQtl) continue;
    int phased = 0;
    for (int k : Neighbours(map, q)) {
      if (map[k].QtlOrMarker >= 0 || phased == perQtl) continue;
      for (Gamete& founder : founders) founder[k] = founder[q];
      ++phased;
    }
  }
}

// ---------------------------------------------------------------------------
// Crosses simulated with the game's own F2 creation and single-seed descent

// The entries of some crosses of the founders, as the game makes them.
struct Simulated {
  plotwright::Population Population;
  std::vector<int> CrossOf;  // cross index of each entry
};

Simulated Simulate(const plotwright::ReferenceTables& reference, const std::vector<std::array<int, 2>>& crosses,
                   int plants, RandomStream& stream, bool lines) {
  Simulated s;
  plotwright::CrossTable table;
  for (std::size_t c = 0; c < crosses.size(); ++c) {
    table.CrossParents.push_back(crosses[c]);
    table.CrossSize.push_back(plants);
    for (int p = 0; p < plants; ++p) s.CrossOf.push_back(static_cast<int>(c));
  }
  plotwright::CreateEntryTables(s.Population, static_cast<int>(s.CrossOf.size()));
  plotwright::Population& p = s.Population;
  plotwright::CreateF2Population(reference, table, stream, p.EntryParents, p.Genome, p.PlantGenValue, p.PlantFhbScore,
                                 p.PlantPrediction);
  if (lines) {
    plotwright::DevelopInbredLines(reference, stream, p.Genome, p.LineGenValue, p.LineFhbScore, p.LinePrediction);
  }
  return s;
}

std::vector<std::array<int, 2>> AllCrosses() {
  std::vector<std::array<int, 2>> crosses;
  for (int a = 1; a <= kFounders; ++a) {
    for (int b = a + 1; b <= kFounders; ++b) crosses.push_back({a, b});
  }
  return crosses;
}

// ---------------------------------------------------------------------------
// Marker effects

constexpr int kTrainingLocations = 4;
constexpr int kTestCrosses = 10;

// Marker scores of an inbred line, as the game scores them: -1 homozygous
// for allele 1, +1 homozygous for allele 2, 0 otherwise.
Eigen::RowVectorXd MarkerScores(const DiploidGenome& genome, const LocusTable& map) {
  Eigen::RowVectorXd scores = Eigen::RowVectorXd::Zero(kMarkers);
  for (int k = 0; k < kLoci; ++k) {
    if (map[k].QtlOrMarker >= 0) continue;
    const int a1 = AlleleAt(genome, 0, k), a2 = AlleleAt(genome, 1, k);
    if (a1 == a2) scores(-map[k].QtlOrMarker - 1) = a1 == 1 ? -1.0 : 1.0;
  }
  return scores;
}

// The training lines' mean trial errors, drawn as the game's trials draw
// them but with the C library's log and cosine: the committed marker effects
// were trained with these, and a few of its cosines differ from the game's
// correctly rounded ones in the last bit, which moves the effects in their
// ninth digit. Keeping them reproduces data/ byte for byte on the machine
// that made it; a new world would train with SimulateTrialError itself.
void TrainingTrialErrors(int n, RandomStream& stream, std::vector<double>& trialError, int locations,
                         double errorVariance) {
  const double errorSd = std::sqrt(errorVariance);
  for (int i = 0; i < n; ++i) {
    double sum = 0.0;
    for (int k = 0; k < locations; ++k) {
      const double u1 = plotwright::DrawUniform(stream);
      const double u2 = plotwright::DrawUniform(stream);
      const float radius = static_cast<float>(std::sqrt(-2.0 * std::log(u1)));
      const float z = radius * std::cos(6.2832f * static_cast<float>(u2));
      sum += static_cast<double>(z) * errorSd;
    }
    trialError[static_cast<std::size_t>(i)] = sum / static_cast<double>(locations);
  }
}

// Ridge regression (RR-BLUP) of the training lines' trial means on their
// marker scores, trait by trait. Every marker effect is drawn towards zero
// by the same penalty, the ratio of the error variance of a trial mean to
// the variance of one marker effect; the latter is the genetic variance of
// the trial means (their variance less the error variance, a moment
// estimate) shared out over the markers' score variances. The intercept
// makes the prediction of an entry with all scores 0 come out right.
std::array<TraitValues, kMarkerRows> EstimateMarkerEffects(const Simulated& training, const LocusTable& map,
                                                           RandomStream& stream, bool libraryTrialErrors) {
  const plotwright::Population& lines = training.Population;
  const int n = lines.EntryCount;
  Eigen::MatrixXd scores(n, kMarkers);
  for (int i = 0; i < n; ++i) scores.row(i) = MarkerScores(lines.Genome[i], map);
  const Eigen::RowVectorXd scoreMeans = scores.colwise().mean();
  const Eigen::MatrixXd centred = scores.rowwise() - scoreMeans;
  const Eigen::MatrixXd crossProducts = centred.transpose() * centred;
  const double scoreVariance = crossProducts.trace() / (n - 1);

  const std::array<double, kTraits> errorVariance = plotwright::ComputeErrorVariances();
  std::array<TraitValues, kMarkerRows> effects{};
  std::vector<double> trialError(static_cast<std::size_t>(n));
  for (int t = 0; t < kTraits; ++t) {
    if (libraryTrialErrors) {
      TrainingTrialErrors(n, stream, trialError, kTrainingLocations, errorVariance[static_cast<std::size_t>(t)]);
    } else {
      plotwright::SimulateTrialError(n, stream, trialError, kTrainingLocations, t, errorVariance);
    }
    Eigen::VectorXd y(n);
    for (int i = 0; i < n; ++i) y(i) = plotwright::ObservedValue(lines.LineGenValue[i][t], trialError[i], t);
    const double mean = y.mean();
    const Eigen::VectorXd yc = y.array() - mean;
    const double phenotypicVariance = yc.squaredNorm() / (n - 1);
    const double meanErrorVariance = errorVariance[t] / kTrainingLocations;
    const double geneticVariance = std::max(phenotypicVariance - meanErrorVariance, 0.05 * phenotypicVariance);
    const double penalty = meanErrorVariance / (geneticVariance / scoreVariance);
    Eigen::MatrixXd system = crossProducts;
    system.diagonal().array() += penalty;
    const Eigen::VectorXd beta = system.ldlt().solve(centred.transpose() * yc);
    for (int m = 0; m < kMarkers; ++m) effects[m][t] = beta(m);
    effects[kMarkerRows - 1][t] = mean - scoreMeans.dot(beta);
  }
  return effects;
}

// ---------------------------------------------------------------------------
// Writing the files

// Files are written as the game writes Results.csv, in binary mode so every
// line ends in "\n" alone. Reals use nine significant digits in the "C"
// locale (this program never changes the locale).
bool WriteFile(const std::filesystem::path& folder, std::string_view name, const std::string& text) {
  return plotwright::WriteWholeFile(folder, name, text) == plotwright::FileProblem::kNone;
}

std::string Real(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.9g", value);
  return buffer;
}

bool WriteReferenceFiles(const std::filesystem::path& folder, const plotwright::ReferenceTables& reference) {
  std::string forbidden;
  for (const LocusRecord& locus : reference.LocusTable) {
    forbidden += std::to_string(locus.QtlOrMarker) + "," + std::to_string(locus.Chromosome) + "," +
                 std::to_string(locus.Position) + "\n";
  }
  std::string handsOff;
  for (const Gamete& founder : reference.FounderGenotype) {
    for (int k = 0; k < kLoci; ++k) {
      if (k > 0) handsOff += ',';
      handsOff += static_cast<char>('0' + founder[k]);
    }
    handsOff += '\n';
  }
  std::string keepOut;
  for (const TraitValues& row : reference.MarkerEffects) {
    keepOut += Real(row[0]) + "," + Real(row[1]) + "," + Real(row[2]) + "\n";
  }
  return WriteFile(folder, "zForbidden.csv", forbidden) && WriteFile(folder, "zHandsOff.csv", handsOff) &&
         WriteFile(folder, "zKeepOut.csv", keepOut);
}

// ---------------------------------------------------------------------------
// The report

const char* const kTraitNames[kTraits] = {"yield", "protein", "Fhb"};

// The F2 of every cross with kReportPlants plants, pooled, against the
// trait scales.
constexpr int kReportPlants = 200;

void ReportCalibration(const plotwright::ReferenceTables& reference, const PooledF2& exact, RandomStream& stream) {
  const Simulated f2 = Simulate(reference, AllCrosses(), kReportPlants, stream, false);
  std::printf("Calibration: F2 plants of all 105 crosses, %d plants each, raw genotypic values\n", kReportPlants);
  std::printf("  %-8s %10s %10s %10s %9s   %10s %10s %10s %8s\n", "trait", "scale mean", "simulated", "exact",
              "off (SD)", "scale SD", "simulated", "exact", "off");
  for (int t = 0; t < kTraits; ++t) {
    double sum = 0, squares = 0;
    const auto n = static_cast<double>(f2.Population.EntryCount);
    for (const TraitValues& v : f2.Population.PlantGenValue) {
      const double raw = (v[t] - plotwright::kTraitScale[t].TargetMean) / plotwright::kTraitScale[t].TargetSd *
                             plotwright::kTraitScale[t].RawSd +
                         plotwright::kTraitScale[t].RawMean;
      sum += raw;
      squares += raw * raw;
    }
    const double mean = sum / n;
    const double sd = std::sqrt((squares - n * mean * mean) / (n - 1));
    const plotwright::TraitScaleRow& scale = plotwright::kTraitScale[t];
    std::printf("  %-8s %10.4f %10.4f %10.4f %+9.3f   %10.4f %10.4f %10.4f %+7.1f%%\n", kTraitNames[t], scale.RawMean,
                mean, exact.Mean[t], (mean - scale.RawMean) / scale.RawSd, scale.RawSd, sd, exact.Sd[t],
                100.0 * (sd / scale.RawSd - 1.0));
  }
}

void ReportAccuracy(const plotwright::ReferenceTables& reference, const std::vector<std::array<int, 2>>& testCrosses,
                    RandomStream& stream) {
  const Simulated test = Simulate(reference, testCrosses, kReportPlants, stream, true);
  const plotwright::Population& p = test.Population;
  std::printf("\nAccuracy: correlation of predictions with genotypic values, %d new crosses of %d entries\n",
              kTestCrosses, kReportPlants);
  std::printf("  crosses:");
  for (const auto& c : testCrosses) std::printf(" %dx%d", c[0], c[1]);
  std::printf("\n  %-8s %-7s %7s   %-9s %6s %6s   per cross\n", "trait", "entries", "pooled", "in-cross", "min", "max");
  for (int t = 0; t < kTraits; ++t) {
    for (const bool lines : {false, true}) {
      const std::vector<TraitValues>& truth = lines ? p.LineGenValue : p.PlantGenValue;
      const std::vector<TraitValues>& predicted = lines ? p.LinePrediction : p.PlantPrediction;
      std::vector<double> allTruth, allPredicted;
      std::vector<double> within;
      for (int c = 0; c < kTestCrosses; ++c) {
        std::vector<double> x, y;
        for (int i = 0; i < p.EntryCount; ++i) {
          if (test.CrossOf[i] != c) continue;
          x.push_back(predicted[i][t]);
          y.push_back(truth[i][t]);
          allPredicted.push_back(predicted[i][t]);
          allTruth.push_back(truth[i][t]);
        }
        within.push_back(Correlation(x, y));
      }
      const double mean = std::accumulate(within.begin(), within.end(), 0.0) / kTestCrosses;
      std::printf("  %-8s %-7s %7.3f   %-9.3f %6.3f %6.3f  ", kTraitNames[t], lines ? "lines" : "F2",
                  Correlation(allPredicted, allTruth), mean, *std::min_element(within.begin(), within.end()),
                  *std::max_element(within.begin(), within.end()));
      for (double r : within) std::printf(" %5.2f", r);
      std::printf("\n");
    }
  }
}

void ReportFounders(const plotwright::ReferenceTables& reference) {
  std::printf("\nFounders: genotypic values of each line on the display scales\n");
  for (int f = 0; f < kFounders; ++f) {
    const TraitValues v = LineValues(reference.FounderGenotype[f], reference.LocusTable, reference.QtlEffects);
    std::printf(
        "  Line %2d %8.2f %8.2f %8.2f  %s\n", f + 1, v[0], v[1], v[2],
        reference.FounderGenotype[f][LocusOf(reference.LocusTable, plotwright::kFhbGeneQtl)] == 1 ? "yes" : "no");
  }
}

// How a student would pick crosses from the founders table: lines taken to
// scatter around the parents' average by one SD of the trait scale, the
// pairs with at least one carrier most likely to give lines meeting both
// standards, each founder in at most two crosses.
std::vector<std::array<int, 2>> CrossesFromTheTable(const plotwright::ReferenceTables& reference, int count) {
  const auto below = [](double limit, double mean, double sd) {
    return 0.5 * std::erfc((mean - limit) / (sd * 1.4142135623730951));
  };
  const int gene = LocusOf(reference.LocusTable, plotwright::kFhbGeneQtl);
  std::array<TraitValues, kFounders> v{};
  for (int f = 0; f < kFounders; ++f)
    v[f] = LineValues(reference.FounderGenotype[f], reference.LocusTable, reference.QtlEffects);
  std::vector<std::pair<double, std::array<int, 2>>> ranked;
  for (int a = 0; a < kFounders; ++a) {
    for (int b = a + 1; b < kFounders; ++b) {
      if (reference.FounderGenotype[a][gene] != 1 && reference.FounderGenotype[b][gene] != 1) continue;
      const double protein = (v[a][1] + v[b][1]) / 2, fhb = (v[a][2] + v[b][2]) / 2;
      const double sdP = plotwright::kTraitScale[1].TargetSd, sdF = plotwright::kTraitScale[2].TargetSd;
      const double chance =
          below(kFhbHighest, fhb, sdF) * (below(kProteinHighest, protein, sdP) - below(kProteinLowest, protein, sdP));
      ranked.push_back({-chance, {a + 1, b + 1}});
    }
  }
  std::stable_sort(ranked.begin(), ranked.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
  std::array<int, kFounders + 1> uses{};
  std::vector<std::array<int, 2>> crosses;
  for (const auto& [chance, c] : ranked) {
    if (static_cast<int>(crosses.size()) == count) break;
    if (uses[c[0]] == 2 || uses[c[1]] == 2) continue;
    ++uses[c[0]], ++uses[c[1]];
    crosses.push_back(c);
  }
  return crosses;
}

// What each cross offers, from kOutlookLines inbred lines of every cross
// made with the game's own genetics: the share of lines that carry the
// resistance allele (what screening keeps), the share of those that meet
// both standards, the share that do among the kShortcutLines screened lines
// with the best predictions (what releasing the best-predicted line of a
// single cross would win), and the accuracy of the line predictions for
// protein and Fhb within the cross.
constexpr int kOutlookLines = 300;
constexpr int kShortcutLines = 10;

struct CrossOutlook {
  std::array<int, 2> Parents{};
  bool Mixed = false;  // one parent carries the resistance allele, the other not
  double Screened = 0, Winning = 0, BestPredicted = 0;
  int Winners = 0;
  double ProteinAccuracy = 0, FhbAccuracy = 0;
};

double PredictedMargin(const TraitValues& v) {
  const double sdP = plotwright::kTraitScale[1].TargetSd, sdF = plotwright::kTraitScale[2].TargetSd;
  return std::min({(kFhbHighest - v[2]) / sdF, (kProteinHighest - v[1]) / sdP, (v[1] - kProteinLowest) / sdP});
}

// The single-cross shortcut: 1000 plants of one cross, screened, made into
// lines, and the line with the best predictions released. From
// kShortcutLines2 lines of the cross, the screened ones ranked by their
// predictions, the chance that the best-predicted of a random kShortcutPlants
// of them (as many screened lines as 1000 plants give) meets both
// standards: the line ranked i is the best of the sample when the sample
// holds it and none ranked above, which happens with chance
// C(N - i, m - 1) / C(N, m) for m screened lines drawn from N.
constexpr int kShortcutPlants = 1000;
constexpr int kShortcutLines2 = 16000;
constexpr std::size_t kShortcutCrosses = 6;

double BestOfSampleWins(const std::vector<std::pair<double, bool>>& ranked, std::size_t m) {
  const std::size_t n = ranked.size();
  if (n == 0) return 0;
  m = std::min(std::max<std::size_t>(m, 1), n);
  const auto logChoose = [](double a, double b) {
    return std::lgamma(a + 1) - std::lgamma(b + 1) - std::lgamma(a - b + 1);
  };
  double chance = 0;
  for (std::size_t i = 0; i + m <= n; ++i) {
    if (!ranked[i].second) continue;
    chance += std::exp(logChoose(static_cast<double>(n - i - 1), static_cast<double>(m - 1)) -
                       logChoose(static_cast<double>(n), static_cast<double>(m)));
  }
  return chance;
}

void ReportShortcut(const plotwright::ReferenceTables& reference, const std::vector<std::array<int, 2>>& crosses,
                    RandomStream& stream) {
  const Simulated all = Simulate(reference, crosses, kShortcutLines2, stream, true);
  const plotwright::Population& p = all.Population;
  std::printf(
      "\nShortcut: %d plants of one cross, screened, the best-predicted line released (from %d lines a cross)\n",
      kShortcutPlants, kShortcutLines2);
  std::printf("  %-7s %8s %8s %10s\n", "cross", "screened", "winning", "shortcut");
  for (std::size_t c = 0; c < crosses.size(); ++c) {
    std::vector<std::pair<double, bool>> screened;
    int winners = 0;
    for (int i = 0; i < p.EntryCount; ++i) {
      if (all.CrossOf[i] != static_cast<int>(c) || p.LineFhbScore[i] != 2) continue;
      const bool wins = MeetsBothStandards(p.LineGenValue[i]);
      screened.push_back({-PredictedMargin(p.LinePrediction[i]), wins});
      winners += wins ? 1 : 0;
    }
    std::stable_sort(screened.begin(), screened.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    const double share = static_cast<double>(screened.size()) / kShortcutLines2;
    const auto m = static_cast<std::size_t>(std::lround(share * kShortcutPlants));
    std::printf("  %2dx%-4d %7.0f%% %7.1f%% %9.1f%%\n", crosses[c][0], crosses[c][1], 100 * share,
                screened.empty() ? 0.0 : 100.0 * winners / static_cast<double>(screened.size()),
                100 * BestOfSampleWins(screened, m));
  }
}

void ReportCrosses(const plotwright::ReferenceTables& reference, RandomStream& stream) {
  const std::vector<std::array<int, 2>> crosses = AllCrosses();
  const Simulated all = Simulate(reference, crosses, kOutlookLines, stream, true);
  const plotwright::Population& p = all.Population;
  std::vector<CrossOutlook> outlooks;
  int winners = 0;
  std::array<std::vector<double>, kTraits> pooledTruth, pooledPredicted;
  for (std::size_t c = 0; c < crosses.size(); ++c) {
    CrossOutlook o;
    o.Parents = crosses[c];
    o.Mixed = plotwright::kFounderFhbAllele[crosses[c][0] - 1] != plotwright::kFounderFhbAllele[crosses[c][1] - 1];
    std::vector<std::pair<double, bool>> screened;
    std::array<std::vector<double>, kTraits> truth, predicted;
    for (int i = 0; i < p.EntryCount; ++i) {
      if (all.CrossOf[i] != static_cast<int>(c)) continue;
      for (int t = 0; t < kTraits; ++t) {
        truth[t].push_back(p.LineGenValue[i][t]);
        predicted[t].push_back(p.LinePrediction[i][t]);
        pooledTruth[t].push_back(p.LineGenValue[i][t]);
        pooledPredicted[t].push_back(p.LinePrediction[i][t]);
      }
      if (p.LineFhbScore[i] != 2) continue;
      const bool wins = MeetsBothStandards(p.LineGenValue[i]);
      screened.push_back({-PredictedMargin(p.LinePrediction[i]), wins});
      o.Winners += wins ? 1 : 0;
    }
    winners += o.Winners;
    o.Screened = static_cast<double>(screened.size()) / kOutlookLines;
    o.Winning = screened.empty() ? 0 : static_cast<double>(o.Winners) / static_cast<double>(screened.size());
    std::stable_sort(screened.begin(), screened.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    const std::size_t top = std::min<std::size_t>(kShortcutLines, screened.size());
    for (std::size_t i = 0; i < top; ++i) o.BestPredicted += screened[i].second ? 1.0 / static_cast<double>(top) : 0;
    o.ProteinAccuracy = Correlation(predicted[1], truth[1]);
    o.FhbAccuracy = Correlation(predicted[2], truth[2]);
    outlooks.push_back(o);
  }
  std::printf("\nLine accuracy pooled over all crosses, %d lines each:", kOutlookLines);
  for (int t = 0; t < kTraits; ++t) {
    std::printf(" %s %.3f", kTraitNames[t], Correlation(pooledPredicted[t], pooledTruth[t]));
  }
  double withinP = 0, withinF = 0;
  for (const CrossOutlook& o : outlooks) withinP += o.ProteinAccuracy, withinF += o.FhbAccuracy;
  std::printf("; within a cross (mean) protein %.3f Fhb %.3f\n", withinP / 105, withinF / 105);

  std::vector<CrossOutlook> ranked = outlooks;
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const CrossOutlook& x, const CrossOutlook& y) { return x.Winning > y.Winning; });
  std::printf(
      "\nCrosses: %d lines each; screened = share with the resistance allele, winning = share of those\n"
      "meeting both standards, best-predicted = share winning among the %d screened lines predicted best\n",
      kOutlookLines, kShortcutLines);
  std::printf("  %-7s %-22s %8s %8s %8s %14s %8s %8s\n", "cross", "parents", "screened", "winning", "winners",
              "best-predicted", "r prot", "r Fhb");
  const auto line = [](const CrossOutlook& o) {
    std::printf("  %2dx%-4d %-22s %7.0f%% %7.1f%% %8d %13.0f%% %8.2f %8.2f\n", o.Parents[0], o.Parents[1],
                o.Mixed ? "carrier x non-carrier" : "same allele", 100 * o.Screened, 100 * o.Winning, o.Winners,
                100 * o.BestPredicted, o.ProteinAccuracy, o.FhbAccuracy);
  };
  for (std::size_t i = 0; i < 10; ++i) line(ranked[i]);
  int mixedWinners = 0, topWinners = 0;
  std::vector<CrossOutlook> byWinners = outlooks;
  std::stable_sort(byWinners.begin(), byWinners.end(),
                   [](const CrossOutlook& x, const CrossOutlook& y) { return x.Winners > y.Winners; });
  for (std::size_t i = 0; i < 10; ++i) {
    topWinners += byWinners[i].Winners;
    if (byWinners[i].Mixed) mixedWinners += byWinners[i].Winners;
  }
  double bestShortcut = 0;
  for (const CrossOutlook& o : ranked) bestShortcut = std::max(bestShortcut, o.BestPredicted);
  std::printf("  the ten crosses with most winning lines give %d of all %d; %d of them from carrier x non-carrier\n",
              topWinners, winners, mixedWinners);
  std::printf("  best single cross, best-predicted screened lines winning: %.0f%%\n", 100 * bestShortcut);
  std::printf("\nCrosses a student picks from the founders table:\n");
  const std::vector<std::array<int, 2>> picked = CrossesFromTheTable(reference, 4);
  for (const auto& c : picked) {
    for (const CrossOutlook& o : outlooks) {
      if (o.Parents == c) line(o);
    }
  }
  std::vector<std::array<int, 2>> promising;
  for (std::size_t i = 0; i < kShortcutCrosses; ++i) promising.push_back(ranked[i].Parents);
  for (const auto& c : picked) {
    if (std::find(promising.begin(), promising.end(), c) == promising.end()) promising.push_back(c);
  }
  ReportShortcut(reference, promising, stream);
}
}  // namespace

int main(int argc, char** argv) {
  // Eigen cuts a matrix product into blocks sized to the processor's caches,
  // and the blocks decide the order in which the marker scores' products are
  // summed: on another processor the marker effects would differ in their
  // last digits. Fixed cache sizes (those of the machine that made the
  // committed files) give the same bytes on every processor.
  constexpr std::ptrdiff_t kKilobyte = 1024, kMegabyte = 1024 * kKilobyte;
  Eigen::setCpuCacheSizes(48 * kKilobyte, 1280 * kKilobyte, 12 * kMegabyte);
  bool report = false;
  bool foundersOnly = false;
  const WorldSettings* known = plotwright::tools::FindWorld("shipped");
  int draw = 0;
  // The folder as the system gives its name, decoded as the system encodes it.
  std::filesystem::path folder;
  bool usable = true;
  for (int i = 1; i < argc && usable; ++i) {
    const std::string argument = argv[i];
    if (argument == "--report") {
      report = true;
    } else if (argument == "--founders-only") {
      foundersOnly = true;
    } else if (argument == "--world" && i + 1 < argc) {
      known = plotwright::tools::FindWorld(argv[++i]);
      usable = known != nullptr;
    } else if (argument == "--draw" && i + 1 < argc) {
      draw = std::atoi(argv[++i]);
    } else if (folder.empty() && !argument.empty() && argument[0] != '-') {
      folder = std::filesystem::path(argv[i]);
    } else {
      usable = false;
    }
  }
  if (report && foundersOnly) usable = false;
  if (folder.empty() || !usable) {
    std::fprintf(stderr,
                 "usage: make_reference_data [--report | --founders-only] [--world NAME] [--draw N] <folder>\nworlds:");
    for (const WorldSettings& w : plotwright::tools::KnownWorlds()) std::fprintf(stderr, " %s", w.Name.c_str());
    std::fprintf(stderr, "\n");
    return 1;
  }
  WorldSettings world = plotwright::tools::Redrawn(*known, draw);
  if (foundersOnly) world.ShapingPasses = std::min(world.ShapingPasses, 1);

  auto reference = std::make_unique<plotwright::ReferenceTables>();
  SplitMix64 rng{world.MapSeed};
  // The game's random stream drives every meiosis, from this seed.
  RandomStream stream{.Seed = world.StreamSeed};

  LocusTable& map = reference->LocusTable;
  map = MakeMap(rng);
  NumberLoci(rng, map);
  ArrangePanel(rng, map, world);
  plotwright::BuildQtlEffects(map, reference->QtlEffects);
  const QtlEffectTable& effects = reference->QtlEffects;
  const int gene = LocusOf(map, plotwright::kFhbGeneQtl);

  const std::vector<Gamete> ancestors = MakeAncestors(rng, gene, world);
  std::vector<Gamete> candidates;
  for (const BreedingPool& pool : world.Pools) {
    for (const Gamete& line : BreedPool(rng, stream, pool, ancestors, map, effects)) candidates.push_back(line);
  }
  const int n = static_cast<int>(candidates.size());
  const F2Calculator calculator(map, effects);
  std::vector<std::vector<CrossMoments>> pairs(n, std::vector<CrossMoments>(n));
  std::vector<TraitValues> values;
  for (int i = 0; i < n; ++i) {
    values.push_back(LineValues(candidates[i], map, effects));
    for (int j = i + 1; j < n; ++j) {
      CrossMoments& m = pairs[i][j];
      m = calculator.Moments(candidates[i], candidates[j]);
      const F2Calculator::Outlook outlook = calculator.LineOutlook(candidates[i], candidates[j], gene);
      m.AnyLineWins = outlook.Any;
      m.ScreenedLineWins = outlook.Resistant;
      pairs[j][i] = m;
    }
  }
  const std::vector<int> chosen = ChooseFounders(rng, candidates, gene, pairs, values);
  for (int f = 0; f < kFounders; ++f) reference->FounderGenotype[f] = candidates[chosen[f]];
  PooledF2 exact = Pool(chosen, pairs);
  if (world.ShapeFounders) {
    FounderShaper shaper(reference->FounderGenotype, map, effects, calculator, gene, world);
    const double before = shaper.Cost();
    shaper.Shape(rng);
    if (report) {
      std::printf("Shaping: cost %.1f to %.1f, %d alleles changed in %d passes\n", before, shaper.Cost(),
                  shaper.Changes, shaper.Passes);
    }
    std::vector<std::vector<CrossMoments>> shaped(kFounders, std::vector<CrossMoments>(kFounders));
    for (int a = 0; a < kFounders; ++a) {
      for (int b = 0; b < kFounders; ++b) {
        if (a != b) shaped[a][b] = calculator.Moments(reference->FounderGenotype[a], reference->FounderGenotype[b]);
      }
    }
    std::vector<int> all(kFounders);
    std::iota(all.begin(), all.end(), 0);
    exact = Pool(all, shaped);
  }
  if (world.FhbMarkersInPhase) PhaseFhbMarkers(reference->FounderGenotype, map, world.PhasedMarkersPerFhbQtl);
  // Ten crosses are kept out of the training population, to measure the
  // accuracy of the predictions in crosses the markers have never seen.
  std::vector<std::array<int, 2>> crosses = AllCrosses();
  Shuffle(rng, crosses);
  const std::vector<std::array<int, 2>> testCrosses(crosses.begin(), crosses.begin() + kTestCrosses);
  std::vector<std::array<int, 2>> trainingCrosses(crosses.begin() + kTestCrosses, crosses.end());
  std::sort(trainingCrosses.begin(), trainingCrosses.end());
  if (!foundersOnly) {
    const Simulated training = Simulate(*reference, trainingCrosses, world.TrainingLinesPerCross, stream, true);
    reference->MarkerEffects = EstimateMarkerEffects(training, map, stream, world.LibraryTrialErrors);
  }

  if (!WriteReferenceFiles(folder, *reference)) {
    std::fprintf(stderr, "make_reference_data: cannot write the files in %s\n", folder.string().c_str());
    return 2;
  }
  if (report) {
    std::printf("World %s, draw %d\n", world.Name.c_str(), draw);
    ReportCalibration(*reference, exact, stream);
    ReportAccuracy(*reference, testCrosses, stream);
    ReportFounders(*reference);
    ReportCrosses(*reference, stream);
  }
  return 0;
}
