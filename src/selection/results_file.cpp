#include "selection/results_file.h"

#include "requires.h"
#include "textio/edit.h"
#include "textio/files.h"

namespace plotwright {
namespace {

// Adds a field after a comma; no row of the file ends with a comma.
void AddField(std::string& row, const std::string& field) {
  row += ',';
  row += field;
}

// The header row's words, or one of the first two header rows of the line
// table (two "--" and a label in the third column, so that the counts and
// LSDs stand above the values they describe).
std::string HeaderRow(std::span<const std::string> words) {
  std::string row = EditA(words[0], kHeaderWidth);
  for (std::size_t k = 1; k < words.size(); ++k) AddField(row, EditA(words[k], kHeaderWidth));
  return row;
}

// The first three fields of a data row: ID, Parent_1, Parent_2.
std::string EntryFields(std::span<const int> EntryId, std::span<const std::array<int, 2>> EntryParents, std::size_t i) {
  std::string row = EditI(EntryId[i], kIdWidth);
  AddField(row, EditI(EntryParents[i][0], kParentWidth));
  AddField(row, EditI(EntryParents[i][1], kParentWidth));
  return row;
}

}  // namespace

LineTable NewLineTable(int entryCount) {
  LineTable table;
  table.ResultsTable.assign(static_cast<std::size_t>(entryCount), {});
  table.HeaderList.fill(std::string(kHeaderWidth, ' '));
  table.HeaderList[0] = EditA("Line_ID", kHeaderWidth);
  table.HeaderList[1] = EditA("Parent_1", kHeaderWidth);
  table.HeaderList[2] = EditA("Parent_2", kHeaderWidth);
  return table;
}

bool AppendColumn(LineTable& table, int kind, Trait trait, int locations, float lsd, std::span<const double> values) {
  REQUIRES(values.size() == table.ResultsTable.size() && kind >= 0 && kind < 4);
  if (table.LastColumn >= kValueColumns) return false;
  const auto column = static_cast<std::size_t>(table.LastColumn++);
  table.HeaderList[kFixedColumns + column] = EditA(kColumnHeaders[static_cast<std::size_t>(kind)][trait], kHeaderWidth);
  table.ColumnLocations[column] = locations;
  table.ColumnLsd[column] = lsd;
  for (std::size_t i = 0; i < values.size(); ++i) table.ResultsTable[i][column] = values[i];
  return true;
}

std::string PlantTableText(std::span<const int> Kept, std::span<const int> EntryId,
                           std::span<const std::array<int, 2>> EntryParents,
                           std::span<const TraitValues> PlantPrediction) {
  REQUIRES(EntryId.size() == Kept.size() && EntryParents.size() == Kept.size() &&
           PlantPrediction.size() == Kept.size());
  const std::string words[] = {"Plant_ID", "Parent_1", "Parent_2", "Yield_Pred", "Protein_Pred", "Fhb_Pred"};
  std::string text = HeaderRow(words) + '\n';
  for (std::size_t i = 0; i < Kept.size(); ++i) {
    if (Kept[i] != 1) continue;
    text += EntryFields(EntryId, EntryParents, i);
    for (double prediction : PlantPrediction[i]) AddField(text, EditF(prediction, kValueWidth, kDecimals));
    text += '\n';
  }
  return text;
}

std::string LineTableText(std::span<const int> Kept, std::span<const int> EntryId,
                          std::span<const std::array<int, 2>> EntryParents, const LineTable& table) {
  REQUIRES(EntryId.size() == Kept.size() && EntryParents.size() == Kept.size() &&
           table.ResultsTable.size() == Kept.size());
  const auto last = static_cast<std::size_t>(table.LastColumn);
  const std::string locationsLabel[] = {"--", "--", "[N_Locs=>]"};
  const std::string lsdLabel[] = {"--", "--", "[LSD(10%)=>]"};
  std::string text = HeaderRow(locationsLabel);
  for (std::size_t k = 0; k < last; ++k) AddField(text, EditI(table.ColumnLocations[k], kLocationsWidth));
  text += '\n' + HeaderRow(lsdLabel);
  for (std::size_t k = 0; k < last; ++k) AddField(text, EditF(table.ColumnLsd[k], kLsdWidth, kDecimals));
  text += '\n' + HeaderRow(std::span(table.HeaderList).first(kFixedColumns + last)) + '\n';
  for (std::size_t i = 0; i < Kept.size(); ++i) {
    if (Kept[i] != 1) continue;
    text += EntryFields(EntryId, EntryParents, i);
    for (std::size_t k = 0; k < last; ++k) AddField(text, EditF(table.ResultsTable[i][k], kValueWidth, kDecimals));
    text += '\n';
  }
  return text;
}

void WriteResultsFile(Console& console, const std::filesystem::path& folder, const std::string& text) {
  // The task has been paid for by now, so a file the spreadsheet still holds
  // (or a full disk) must not cost the player the game: say why and wait.
  FileTries tries{kResultsFile, "RESULTS.CSV", true};
  while (!tries.Succeeded(WriteGameFile(console, folder, kResultsFile, text))) {
    PrintLine(console, " Make sure the RESULTS.CSV file is closed");
    PrintLine(console, " Press <Enter> to continue");
    for (const std::string& line : tries.Why()) PrintLine(console, line);
    WaitForEnter(console);
  }
}

}  // namespace plotwright
