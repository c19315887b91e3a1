// Results.csv: the table through which the player sees the candidates and
// says which to keep. The F2-plant table has one header row; the line table
// has three (location counts, LSD(10%) of each trial column, header words).
// Both list only the kept entries, in ascending ID order.
#pragma once

#include <filesystem>
#include <string>

#include "driver/population.h"
#include "textio/console.h"

namespace plotwright {

inline constexpr const char* kResultsFile = "Results.csv";

// The text of the F2-plant table: IDs, parents and predictions.
std::string PlantTableText(const Population& population);

// The text of the line table with value columns 1..LastColumn.
// REQUIRES: columns.LastColumn >= 1.
std::string LineTableText(const Population& population, const LineTableColumns& columns);

// Writes `text` as Results.csv, asking the player to close the file and
// trying again for as long as another program holds it.
void WriteResultsFile(Console& console, const std::filesystem::path& folder, const std::string& text);

}  // namespace plotwright
