#include "world_settings.h"

namespace plotwright::tools {

namespace {

// The world the game ships: founders from a breeding history with markers
// wherever the shuffle dealt them.
WorldSettings Shipped() {
  WorldSettings world;
  world.Name = "shipped";
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
  world.LibraryTrialErrors = false;
  return world;
}

}  // namespace

const std::vector<WorldSettings>& KnownWorlds() {
  static const std::vector<WorldSettings> worlds = {Shipped(), MarkedResistance()};
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
