// Task 2: the genomewide predictions of every kept entry, shown in
// Results.csv for the player to select on. The predictions themselves were
// computed when the plants and lines were made; this only reveals them.
#pragma once

#include <filesystem>

#include "driver/population.h"
#include "textio/console.h"

namespace plotwright {

// Writes the F2-plant table with the plants' predictions and reads the
// player's selection back.
void PresentPlantPredictions(Console& console, const std::filesystem::path& folder, Population& population);

// Appends the lines' predictions as three value columns of the line table,
// writes it and reads the player's selection back.
void PresentLinePredictions(Console& console, const std::filesystem::path& folder, Population& population,
                            LineTableColumns& columns);

}  // namespace plotwright
