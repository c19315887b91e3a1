#include "driver/population.h"

#include "textio/edit.h"

namespace plotwright {

void CreateEntryTables(Population& population, int entryCount) {
  const auto n = static_cast<std::size_t>(entryCount);
  population.EntryCount = entryCount;
  population.ResultsTable.assign(n, {});
  population.Kept.assign(n, 1);
  population.EntryParents.assign(n, {0, 0});
  population.PlantGenValue.assign(n, {});
  population.LineGenValue.assign(n, {});
  population.PlantPrediction.assign(n, {});
  population.LinePrediction.assign(n, {});
  population.PlantFhbScore.assign(n, 0);
  population.LineFhbScore.assign(n, 0);
  population.Genome.assign(n, DiploidGenome{});
  population.EntryId.assign(n, 0);
  population.TrialError.assign(n, 0.0);
}

LineTableColumns NewLineTableColumns() {
  LineTableColumns columns;
  const char* const traitNames[kTraits] = {"Yield", "Protein", "Fhb"};
  const char* const kindSuffixes[4] = {"_Pred", "_Y1", "_Y2", "_Y3"};
  for (std::size_t kind = 0; kind < 4; ++kind) {
    for (std::size_t trait = 0; trait < kTraits; ++trait) {
      columns.ColumnHeaders[kind][trait] = EditA(std::string(traitNames[trait]) + kindSuffixes[kind], kHeaderWidth);
    }
  }
  columns.HeaderList.fill(std::string(kHeaderWidth, ' '));
  columns.HeaderList[0] = EditA("Line_ID", kHeaderWidth);
  columns.HeaderList[1] = EditA("Parent_1", kHeaderWidth);
  columns.HeaderList[2] = EditA("Parent_2", kHeaderWidth);
  return columns;
}

}  // namespace plotwright
