// The settings that make one genetic world of the reference data generator:
// the seeds, the breeding history that makes the founders' germplasm, the
// breeder's marker panel, how the founders are shaped, and the training
// population of the marker effects. Each world is one value; the world the
// game ships is "shipped", and the generator reproduces it byte for byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "genetics/genetic_model.h"

namespace plotwright::tools {

// A breeding pool: founded by some of the ancestral haplotypes, then bred
// for generations, each from the best plants of the last, mated at random.
// "Best" is by a selection index of the raw genotypic values in raw SD units
// (weights per trait; 0, 0, 0 is no selection) plus noise.
struct BreedingPool {
  std::vector<int> Ancestors;
  TraitValues Weights;
};

// Targets for founders shaped one allele at a time, on the display scales.
struct FounderTarget {
  double Protein = 0;
  double Fhb = 0;
};

struct WorldSettings {
  std::string Name;
  std::uint64_t MapSeed = 0x506C6F7477726968ULL;  // the map, the numbering, the history's choices
  std::int32_t StreamSeed = -20260501;            // the game's random stream: every meiosis

  // Breeding history.
  int Ancestors = 8;
  std::vector<int> ResistanceDonors = {0, 1, 5};  // ancestors with the resistance allele
  std::vector<BreedingPool> Pools = {
      {{0, 1, 2, 3}, {0.0, -0.3, -1.0}},              // resistance
      {{4, 5, 6, 7}, {1.0, -0.5, 0.0}},               // yield and low protein
      {{0, 1, 2, 3, 4, 5, 6, 7}, {0.0, 0.0, 0.0}},    // landraces
      {{0, 1, 2, 3, 4, 5, 6, 7}, {0.3, -1.0, -1.0}},  // the market's standards
  };

  // The breeder's marker panel. Distances in tenths of a cM; 0 leaves the
  // markers where the shuffle dealt them.
  int GeneClearance = 0;             // no marker this close to the major gene: only the screen finds it
  int ProteinClearance = 0;          // no marker this close to a QTL for protein alone
  bool MarkersBesideFhbQtl = false;  // the loci next to every other Fhb QTL are markers
  bool FhbMarkersInPhase = false;    // those markers carry their QTL's allele in every founder
  int PhasedMarkersPerFhbQtl = 2;    // how many of the two beside a QTL do

  // Founder shaping: after the founders are chosen, single alleles are
  // changed while the F2 of all crosses stays on the trait scales, to bring
  // the lines without the resistance allele and some carriers towards
  // targets. One target for the lines without the allele is shared by all
  // four; otherwise, as for the carriers, each target draws the founder of
  // its kind nearest to it, in the order given.
  bool ShapeFounders = false;
  std::vector<FounderTarget> NonCarriers;
  std::vector<FounderTarget> Carriers;
  int ShapingPasses = 12;  // passes over all alleles at most

  // Training population of the marker effects.
  int TrainingLinesPerCross = 200;
  // The first world's effects were trained with trial errors drawn through
  // the C library's log and cosine; later worlds draw them as the game does.
  bool LibraryTrialErrors = false;
};

// The worlds the generator knows; the first is the shipped one.
const std::vector<WorldSettings>& KnownWorlds();

// The world of that name, or nullptr.
const WorldSettings* FindWorld(std::string_view name);

// The same world from another draw of its seeds; draw 0 is the world itself.
WorldSettings Redrawn(const WorldSettings& world, int draw);

}  // namespace plotwright::tools
