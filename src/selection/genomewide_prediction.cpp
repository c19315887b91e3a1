#include "selection/genomewide_prediction.h"

#include "selection/read_back.h"
#include "selection/results_file.h"

namespace plotwright {
namespace {

void PrintPredictionsDone(Console& console) {
  PrintLine(console, "  ");
  PrintLine(console, " ---------------");
  PrintLine(console, "  ");
  PrintLine(console, " Genomewide predictions done");
}

}  // namespace

void PresentPlantPredictions(Console& console, const std::filesystem::path& folder, Population& population) {
  WriteResultsFile(console, folder, PlantTableText(population));
  PrintPredictionsDone(console);
  ReadBackSelection(console, folder, ResultsLayout::kPlantTable, population.Kept);
}

void PresentLinePredictions(Console& console, const std::filesystem::path& folder, Population& population,
                            LineTableColumns& columns) {
  const auto first = static_cast<std::size_t>(columns.LastColumn);
  for (std::size_t i = 0; i < population.ResultsTable.size(); ++i) {
    for (std::size_t t = 0; t < kTraits; ++t) population.ResultsTable[i][first + t] = population.LinePrediction[i][t];
  }
  for (std::size_t t = 0; t < kTraits; ++t) columns.HeaderList[3 + first + t] = columns.ColumnHeaders[0][t];
  columns.LastColumn += kTraits;
  WriteResultsFile(console, folder, LineTableText(population, columns));
  PrintPredictionsDone(console);
  ReadBackSelection(console, folder, ResultsLayout::kLineTable, population.Kept);
}

}  // namespace plotwright
