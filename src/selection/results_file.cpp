#include "selection/results_file.h"

#include "textio/edit.h"
#include "textio/files.h"

namespace plotwright {
namespace {

// Adds a field after a comma; no row of the file ends with a comma.
void AddField(std::string& row, const std::string& field) {
  row += ',';
  row += field;
}

// The first three fields of a data row: ID, Parent_1, Parent_2.
std::string EntryFields(const Population& population, std::size_t i) {
  std::string row = EditI(population.EntryId[i], 6);
  AddField(row, EditI(population.EntryParents[i][0], 2));
  AddField(row, EditI(population.EntryParents[i][1], 2));
  return row;
}

}  // namespace

std::string PlantTableText(const Population& population) {
  std::string text = EditA("Plant_ID", 12);
  for (const char* word : {"Parent_1", "Parent_2", "Yield_Pred", "Protein_Pred", "Fhb_Pred"}) {
    AddField(text, EditA(word, 12));
  }
  text += '\n';
  for (std::size_t i = 0; i < population.Kept.size(); ++i) {
    if (population.Kept[i] != 1) continue;
    text += EntryFields(population, i);
    for (double prediction : population.PlantPrediction[i]) AddField(text, EditF(prediction, 12, 2));
    text += '\n';
  }
  return text;
}

std::string LineTableText(const Population& population, const LineTableColumns& columns) {
  const auto last = static_cast<std::size_t>(columns.LastColumn);
  // Header rows 1 and 2 put their labels in the third column, so the counts
  // and differences stand above the values they describe.
  std::string text = EditA("--", 12);
  AddField(text, EditA("--", 12));
  AddField(text, EditA("[N_Locs=>]", 12));
  for (std::size_t k = 0; k < last; ++k) AddField(text, EditI(columns.ColumnLocations[k], 3));
  text += '\n';
  text += EditA("--", 12);
  AddField(text, EditA("--", 12));
  AddField(text, EditA("[LSD(10%)=>]", 12));
  for (std::size_t k = 0; k < last; ++k) AddField(text, EditF(columns.ColumnLsd[k], 8, 2));
  text += '\n';
  text += EditA(columns.HeaderList[0], 12);
  for (std::size_t slot = 1; slot < 3 + last; ++slot) AddField(text, EditA(columns.HeaderList[slot], 12));
  text += '\n';
  for (std::size_t i = 0; i < population.Kept.size(); ++i) {
    if (population.Kept[i] != 1) continue;
    text += EntryFields(population, i);
    for (std::size_t k = 0; k < last; ++k) AddField(text, EditF(population.ResultsTable[i][k], 12, 2));
    text += '\n';
  }
  return text;
}

void WriteResultsFile(Console& console, const std::filesystem::path& folder, const std::string& text) {
  // The task has been paid for by now, so a file the spreadsheet still holds
  // must not cost the player the game: wait until it is closed.
  while (!WriteWholeFile(folder, kResultsFile, text)) {
    PrintLine(console, " Make sure the RESULTS.CSV file is closed");
    PrintLine(console, " Press <Enter> to continue");
    WaitForEnter(console);
  }
}

}  // namespace plotwright
