#include "support/made_up_world.h"

#include <cstdint>
#include <string>

#include "genetics/trait_model.h"
#include "selection/marker_screening.h"
#include "textio/edit.h"

namespace plotwright::testing {
std::unique_ptr<ReferenceTables> MadeUpWorld() {
  auto reference = std::make_unique<ReferenceTables>();
  std::uint64_t state = 20260611;  // a generator of the world's own, apart from the game's stream
  const auto next = [&state] {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::uint32_t>(state >> 33);
  };
  int qtl = 0, marker = 0, position = 0, gene = 0;
  for (int k = 0; k < kLoci; ++k) {
    if (k % 76 == 0) position = static_cast<int>(next() % 50);
    position += k % 76 == 0 ? 0 : static_cast<int>(next() % 409) - 8;
    const bool isQtl = (qtl < kQtl && next() % 912 < 400) || marker == kMarkers;
    const int code = isQtl ? ++qtl : -(++marker);
    if (code == kFhbGeneQtl) gene = k;
    reference->LocusTable[static_cast<std::size_t>(k)] = {code, 1 + k / 76, position};
  }
  for (std::size_t f = 0; f < kFounders; ++f) {
    for (AlleleCode& allele : reference->FounderGenotype[f]) allele = static_cast<AlleleCode>(1 + next() % 2);
    reference->FounderGenotype[f][static_cast<std::size_t>(gene)] = kFounderFhbAllele[f] == 1 ? 1 : 2;
  }
  BuildQtlEffects(reference->LocusTable, reference->QtlEffects);
  const TraitValues intercepts = {95.0, 13.0, 11.0};
  for (std::size_t m = 0; m < kMarkerRows; ++m) {
    for (std::size_t t = 0; t < kTraits; ++t) {
      const double effect = (static_cast<double>(next() % 401) - 200.0) / 1000.0;
      reference->MarkerEffects[m][t] = m + 1 == kMarkerRows ? intercepts[t] : effect;
    }
  }
  return reference;
}

void WriteMadeUpWorld(const TempFolder& folder) {
  const auto world = MadeUpWorld();
  std::string map, founders, effects;
  for (const LocusRecord& locus : world->LocusTable) {
    map += std::to_string(locus.QtlOrMarker) + "," + std::to_string(locus.Chromosome) + "," +
           std::to_string(locus.Position) + "\n";
  }
  for (const Gamete& founder : world->FounderGenotype) {
    for (AlleleCode allele : founder) founders += std::to_string(allele) + ",";
    founders.back() = '\n';
  }
  for (const TraitValues& row : world->MarkerEffects) {
    effects += EditF(row[0], 9, 3) + "," + EditF(row[1], 9, 3) + "," + EditF(row[2], 9, 3) + "\n";
  }
  folder.Write("zForbidden.csv", map);
  folder.Write("zHandsOff.csv", founders);
  folder.Write("zKeepOut.csv", effects);
}

}  // namespace plotwright::testing
