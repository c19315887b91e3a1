// Task 2: the genomewide predictions of every kept entry, shown in
// Results.csv for the player to select on. The predictions themselves were
// computed when the plants and lines were made; this only reveals them.
#pragma once

#include <array>
#include <filesystem>
#include <span>
#include <vector>

#include "genetics/genetic_model.h"
#include "selection/results_file.h"
#include "textio/console.h"

namespace plotwright {

// Writes the F2-plant table with the plants' predictions and reads the
// player's selection back into Kept.
void PresentPlantPredictions(Console& console, const std::filesystem::path& folder, std::vector<int>& Kept,
                             std::span<const int> EntryId, std::span<const std::array<int, 2>> EntryParents,
                             std::span<const TraitValues> PlantPrediction);

// Appends the lines' predictions to the line table as three value columns
// (yield, protein, Fhb, for every entry), writes it and reads the player's
// selection back into Kept.
void PresentLinePredictions(Console& console, const std::filesystem::path& folder, std::vector<int>& Kept,
                            std::span<const int> EntryId, std::span<const std::array<int, 2>> EntryParents,
                            std::span<const TraitValues> LinePrediction, LineTable& table);

}  // namespace plotwright
