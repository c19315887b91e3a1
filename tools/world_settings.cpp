#include "world_settings.h"

namespace plotwright::tools {

namespace {

// The first world the game shipped: founders from a breeding history with
// markers wherever the shuffle dealt them. Its best cross joined two
// carriers of the resistance allele, so the screen removed nothing there,
// and releasing the best-predicted line of that one cross won too often.
WorldSettings HistoryOnly() {
  WorldSettings world;
  world.Name = "history-only";
  world.LibraryTrialErrors = true;
  return world;
}

// A world where the marker matters: the major gene lies far from any marker,
// so only the screen finds it; the other Fhb QTL have markers beside them in
// phase in every founder, as after a shared breeding history, so predictions
// follow Fhb within a cross; protein has no marker close by, so only trials
// judge it. The lines without the resistance allele are shaped towards low
// protein and a good Fhb background, a few carriers towards a lower Fhb but
// protein too high, so the winning lines join the gene of one parent to the
// protein of the other.
WorldSettings MarkedResistance() {
  WorldSettings world;
  world.Name = "marked-resistance";
  world.GeneClearance = 300;
  world.ProteinClearance = 100;
  world.MarkersBesideFhbQtl = true;
  world.FhbMarkersInPhase = true;
  world.ShapeFounders = true;
  world.NonCarriers = {{10.5, 9.0}};
  world.Carriers = std::vector<FounderTarget>(4, {13.0, 5.5});
  return world;
}

// The world where the marker matters, with founders that point to a few
// crosses: each line is shaped towards its own values, so the founders
// table shows one carrier and one line without the allele that promise most
// and others that promise less, rather than several look-alikes. The winning
// crosses sit near the upper protein limit and no marker lies within 20 cM
// of a QTL for protein alone, so predictions judge Fhb but trials must find
// the lines within the protein range; one marker beside each Fhb QTL
// follows it, so predictions follow Fhb less closely.
WorldSettings PointedCrosses() {
  WorldSettings world = MarkedResistance();
  world.Name = "pointed-crosses";
  world.ProteinClearance = 200;
  world.PhasedMarkersPerFhbQtl = 1;
  world.NonCarriers = {{11.2, 8.5}, {10.6, 10.5}, {11.6, 10.0}, {10.2, 11.5}};
  world.Carriers = {{13.4, 5.0}, {13.0, 6.8}, {13.9, 6.2}, {14.2, 7.5}};
  return world;
}

// The same, with the good crosses further above the upper protein limit,
// so that still fewer of their lines fall within the protein range and
// predictions, blind to protein, find them less often.
WorldSettings HighProteinCrosses() {
  WorldSettings world = PointedCrosses();
  world.Name = "high-protein-crosses";
  for (FounderTarget& target : world.NonCarriers) target.Protein += 0.2;
  for (FounderTarget& target : world.Carriers) target.Protein += 0.3;
  return world;
}

// The same founders and panel with half the training lines, so the marker
// effects are estimated less sharply.
WorldSettings PointedCrossesSmallTraining() {
  WorldSettings world = PointedCrosses();
  world.Name = "pointed-crosses-small-training";
  world.TrainingLinesPerCross = 100;
  return world;
}

// Founders that point to a few crosses whose lines are comfortably within
// the protein range but mostly above the Fhb limit: Fhb, which a trial year
// at its few locations judges only roughly, is what the winning lines must
// be found for.
WorldSettings FhbLimitedCrosses() {
  WorldSettings world = PointedCrosses();
  world.Name = "fhb-limited-crosses";
  world.ProteinClearance = 100;
  world.NonCarriers = {{10.6, 9.0}, {10.2, 10.5}, {10.9, 10.0}, {10.0, 11.5}};
  world.Carriers = {{12.8, 6.2}, {12.6, 7.4}, {13.2, 6.8}, {13.4, 8.0}};
  return world;
}

// The world the game ships: the pointed-crosses world from its fifth draw of
// seeds, where the good crosses join a carrier of the resistance allele to a
// line without it and the founders table points to them.
WorldSettings Shipped() {
  WorldSettings world = Redrawn(PointedCrosses(), 5);
  world.Name = "shipped";
  return world;
}

}  // namespace

const std::vector<WorldSettings>& KnownWorlds() {
  static const std::vector<WorldSettings> worlds = {
      Shipped(),          HistoryOnly(),        MarkedResistance(),
      PointedCrosses(),   HighProteinCrosses(), PointedCrossesSmallTraining(),
      FhbLimitedCrosses()};
  return worlds;
}

const WorldSettings* FindWorld(std::string_view name) {
  for (const WorldSettings& world : KnownWorlds()) {
    if (world.Name == name) return &world;
  }
  return nullptr;
}

WorldSettings Redrawn(const WorldSettings& world, int draw) {
  WorldSettings redrawn = world;
  redrawn.MapSeed ^= static_cast<std::uint64_t>(draw) * 0x9E3779B97F4A7C15ULL;
  redrawn.StreamSeed -= 7919 * draw;
  return redrawn;
}

}  // namespace plotwright::tools
