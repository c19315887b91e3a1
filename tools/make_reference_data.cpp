// Makes the game's provisional reference data and writes the three files into
// the folder named on the command line:
//   zForbidden.csv  the genetic map: 912 loci on 21 chromosomes, each locus a
//                   QTL (positive number) or a marker (negated number), with
//                   its chromosome and its position in tenths of a cM;
//   zHandsOff.csv   the allele codes of the 15 founder lines at every locus;
//   zKeepOut.csv    the marker effects for genomewide prediction and, last,
//                   the intercepts.
// QTL 303, whose genotype is scored as the major Fhb resistance gene, is made
// the first Fhb QTL of the genome, so it is also the one with the major
// effect; founders carry its resistance allele exactly as the game's founder
// list says.
// The data are provisional: a plausible, simple world to play in, not the
// result of any real experiment. Everything comes from one fixed seed, so a
// rerun writes the same bytes; tests check that the committed files are
// exactly what this program writes.
//
// Usage: make_reference_data <folder>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <string>
#include <vector>

#include "driver/population.h"
#include "genetics/trait_model.h"

namespace {

using plotwright::kFounders;
using plotwright::kLoci;
using plotwright::kMarkerRows;
using plotwright::kMarkers;
using plotwright::kQtl;
using plotwright::kTraits;
using plotwright::LocusRecord;

constexpr int kChromosomes = 21;
constexpr int kShortestCentimorgans = 100;
constexpr int kLongestCentimorgans = 250;
// The major Fhb resistance gene sits near the start of this chromosome.
constexpr int kFhbGeneChromosome = 8;
// How often, within a founder, a QTL carries the allele of the marker nearest
// to it: markers are in linkage disequilibrium with the QTL near them.
constexpr std::uint64_t kLinkagePercent = 90;

// SplitMix64: a small generator whose output is fixed by its seed on every
// platform, unlike the standard library's distributions.
struct SplitMix64 {
  std::uint64_t State;
  std::uint64_t Next() {
    std::uint64_t z = (State += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // An integer in 0..n-1 (the tiny modulo bias does not matter here).
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
};

// Fhb QTL are the protein QTL (number mod 5 = 3) numbered 270 and above.
bool IsFhbQtl(int code) { return code >= 270 && code <= kQtl && code % 5 == 3; }

// Chromosome lengths, the loci on each in proportion to its length (largest
// remainders take the loci left over), and rising positions on each.
void MakeMap(SplitMix64& rng, std::array<LocusRecord, kLoci>& map) {
  std::array<int, kChromosomes> length{};
  for (int& cm : length) cm = kShortestCentimorgans + rng.Below(kLongestCentimorgans - kShortestCentimorgans + 1);
  const int total = std::accumulate(length.begin(), length.end(), 0);

  std::array<int, kChromosomes> loci{};
  std::array<int, kChromosomes> order{};
  for (int c = 0; c < kChromosomes; ++c) {
    loci[c] = kLoci * length[c] / total;
    order[c] = c;
  }
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return kLoci * length[a] % total > kLoci * length[b] % total;
  });
  int left = kLoci - std::accumulate(loci.begin(), loci.end(), 0);
  for (int i = 0; left > 0; ++i, --left) ++loci[order[i]];

  int k = 0;
  for (int c = 0; c < kChromosomes; ++c) {
    std::vector<int> positions(static_cast<std::size_t>(loci[c]));
    for (int& p : positions) p = rng.Below(length[c] * 10 + 1);
    std::sort(positions.begin(), positions.end());
    for (std::size_t i = 1; i < positions.size(); ++i) positions[i] = std::max(positions[i], positions[i - 1] + 1);
    for (int p : positions) {
      map[k].Chromosome = c + 1;
      map[k].Position = p;
      ++k;
    }
  }
}

// Every QTL and every marker once, in shuffled genome order; then QTL 303 is
// moved near the start of its chromosome and every other Fhb QTL that would
// precede it is moved behind it, so it is the first Fhb QTL of the genome and
// carries the major-gene effect.
void AssignLoci(SplitMix64& rng, std::array<LocusRecord, kLoci>& map) {
  std::array<int, kLoci> codes{};
  for (int c = 1; c <= kQtl; ++c) codes[c - 1] = c;
  for (int m = 1; m <= kMarkers; ++m) codes[kQtl + m - 1] = -m;
  for (int i = kLoci - 1; i > 0; --i) std::swap(codes[i], codes[rng.Below(i + 1)]);

  int gene = 0;
  while (map[gene].Chromosome != kFhbGeneChromosome) ++gene;
  ++gene;  // the chromosome's second locus
  std::swap(codes[gene], *std::find(codes.begin(), codes.end(), plotwright::kFhbGeneQtl));
  for (int k = 0; k < gene; ++k) {
    while (IsFhbQtl(codes[k])) {
      const int later = gene + 1 + rng.Below(kLoci - gene - 1);
      if (!IsFhbQtl(codes[later])) std::swap(codes[k], codes[later]);
    }
  }
  for (int k = 0; k < kLoci; ++k) map[k].QtlOrMarker = codes[k];
}

// For each QTL, the locus of the nearest marker on its chromosome (the
// earlier one on a tie), or -1 if its chromosome has no marker.
std::array<int, kLoci> NearestMarkers(const std::array<LocusRecord, kLoci>& map) {
  std::array<int, kLoci> nearest{};
  nearest.fill(-1);
  for (int k = 0; k < kLoci; ++k) {
    if (map[k].QtlOrMarker <= 0) continue;
    int best = -1;
    for (int j = 0; j < kLoci; ++j) {
      if (map[j].QtlOrMarker >= 0 || map[j].Chromosome != map[k].Chromosome) continue;
      if (best < 0 || std::abs(map[j].Position - map[k].Position) < std::abs(map[best].Position - map[k].Position)) {
        best = j;
      }
    }
    nearest[k] = best;
  }
  return nearest;
}

// Founder alleles. A marker and the QTL nearest to it form a short
// haplotype block: the few founders of a breeding pool share long stretches
// of chromosome, so within a founder the block's QTL mostly carry the
// marker's allele, and the marker tracks them through the crosses. Markers
// and QTL without a block get random alleles; the Fhb resistance gene follows
// the founders' known status (allele 1 resists), and its marker follows it.
void MakeFounders(SplitMix64& rng, const std::array<LocusRecord, kLoci>& map, const std::array<int, kLoci>& nearest,
                  std::array<plotwright::Gamete, kFounders>& founders) {
  const auto linkedTo = [&](plotwright::AlleleCode allele) {
    const bool linked = static_cast<std::uint64_t>(rng.Below(100)) < kLinkagePercent;
    return linked ? allele : static_cast<plotwright::AlleleCode>(3 - allele);
  };
  int gene = 0;
  while (map[gene].QtlOrMarker != plotwright::kFhbGeneQtl) ++gene;
  for (int f = 0; f < kFounders; ++f) {
    plotwright::Gamete& founder = founders[f];
    for (int k = 0; k < kLoci; ++k) founder[k] = static_cast<plotwright::AlleleCode>(1 + rng.Below(2));
    founder[gene] = plotwright::kFounderFhbAllele[f] == 1 ? 1 : 2;
    if (nearest[gene] >= 0) founder[nearest[gene]] = linkedTo(founder[gene]);
    for (int k = 0; k < kLoci; ++k) {
      if (k != gene && nearest[k] >= 0) founder[k] = linkedTo(founder[nearest[k]]);
    }
  }
}

// Marker effects on the display scale: each QTL's additive effect (half the
// difference between its two homozygotes) goes to its nearest marker, so a
// marker score of -1 or +1 stands for the QTL genotype; the sums are then
// scaled like genotypic values, target SD over raw SD, and the intercept
// takes the rest of the transform.
std::array<plotwright::TraitValues, kMarkerRows> MakeMarkerEffects(const std::array<LocusRecord, kLoci>& map,
                                                                   const std::array<int, kLoci>& nearest) {
  std::array<plotwright::QtlClassEffects, kQtl + 1> qtlEffects{};
  plotwright::BuildQtlEffects(map, qtlEffects);
  std::array<plotwright::TraitValues, kMarkerRows> effects{};
  for (int k = 0; k < kLoci; ++k) {
    if (nearest[k] < 0) continue;
    const int c = map[k].QtlOrMarker;
    const int m = -map[nearest[k]].QtlOrMarker;
    for (int t = 0; t < kTraits; ++t) effects[m - 1][t] += (qtlEffects[c][1][t] - qtlEffects[c][0][t]) / 2.0;
  }
  for (int t = 0; t < kTraits; ++t) {
    const plotwright::TraitScaleRow& scale = plotwright::kTraitScale[t];
    const double factor = scale.TargetSd / scale.RawSd;
    for (int m = 0; m < kMarkers; ++m) effects[m][t] *= factor;
    effects[kMarkerRows - 1][t] = scale.TargetMean - scale.RawMean * factor;
  }
  return effects;
}

// Files are written in binary mode so every line ends in "\n" alone. Reals
// use nine significant digits in the "C" locale (this program never changes
// the locale): the text is the data, and nine digits keep it the same
// whatever the last bit of a platform's pow.
bool WriteFile(const std::string& path, const std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}

std::string Real(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.9g", value);
  return buffer;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_reference_data <folder>\n");
    return 1;
  }
  const std::string folder = std::string(argv[1]) + "/";

  SplitMix64 rng{0x506C6F7477726967ULL};
  std::array<LocusRecord, kLoci> map{};
  MakeMap(rng, map);
  AssignLoci(rng, map);
  const std::array<int, kLoci> nearest = NearestMarkers(map);
  std::array<plotwright::Gamete, kFounders> founders{};
  MakeFounders(rng, map, nearest, founders);
  const std::array<plotwright::TraitValues, kMarkerRows> effects = MakeMarkerEffects(map, nearest);

  std::string forbidden;
  for (const LocusRecord& locus : map) {
    forbidden += std::to_string(locus.QtlOrMarker) + "," + std::to_string(locus.Chromosome) + "," +
                 std::to_string(locus.Position) + "\n";
  }
  std::string handsOff;
  for (const plotwright::Gamete& founder : founders) {
    for (int k = 0; k < kLoci; ++k) {
      if (k > 0) handsOff += ',';
      handsOff += static_cast<char>('0' + founder[k]);
    }
    handsOff += '\n';
  }
  std::string keepOut;
  for (const plotwright::TraitValues& row : effects) {
    keepOut += Real(row[0]) + "," + Real(row[1]) + "," + Real(row[2]) + "\n";
  }

  if (!WriteFile(folder + "zForbidden.csv", forbidden) || !WriteFile(folder + "zHandsOff.csv", handsOff) ||
      !WriteFile(folder + "zKeepOut.csv", keepOut)) {
    std::fprintf(stderr, "make_reference_data: cannot write the files in %s\n", argv[1]);
    return 2;
  }
  return 0;
}
