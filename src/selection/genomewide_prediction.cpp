#include "selection/genomewide_prediction.h"

#include "requires.h"
#include "selection/read_back.h"

namespace plotwright {

namespace {

constexpr const char* kPredictionsDone = "  Genomewide predictions done";

}  // namespace

void PresentPlantPredictions(Console& console, const std::filesystem::path& folder, std::vector<int>& Kept,
                             std::span<const int> EntryId, std::span<const std::array<int, 2>> EntryParents,
                             std::span<const TraitValues> PlantPrediction) {
  ExchangeResults(console, folder, PlantTableText(Kept, EntryId, EntryParents, PlantPrediction),
                  ResultsLayout::kPlantTable, kPredictionsDone, Kept);
}

void PresentLinePredictions(Console& console, const std::filesystem::path& folder, std::vector<int>& Kept,
                            std::span<const int> EntryId, std::span<const std::array<int, 2>> EntryParents,
                            std::span<const TraitValues> LinePrediction, LineTable& table) {
  REQUIRES(LinePrediction.size() == table.ResultsTable.size());
  std::vector<double> column(LinePrediction.size());
  for (const Trait trait : {kYield, kProtein, kFhb}) {
    for (std::size_t i = 0; i < column.size(); ++i) column[i] = LinePrediction[i][trait];
    const bool added = AppendColumn(table, kPredictionKind, trait, 0, 0.0f, column);
    REQUIRES(added);  // the menu offers line predictions once, before the table is full
  }
  ExchangeResults(console, folder, LineTableText(Kept, EntryId, EntryParents, table), ResultsLayout::kLineTable,
                  kPredictionsDone, Kept);
}

}  // namespace plotwright
