// Results.csv: the table through which the player sees the candidates and
// says which to keep. The F2-plant table has one header row; the line table
// has three (location counts, LSD(10%) of each trial column, header words).
// Both list only the kept entries, in ascending ID order; every row starts
// with the entry's ID and its two parents.
#pragma once

#include <array>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "genetics/genetic_model.h"
#include "textio/console.h"

namespace plotwright {

inline constexpr const char* kResultsFile = "Results.csv";

// The fields of a row, with their widths: every header word is kHeaderWidth
// wide; a data row holds the ID, the two parents and values with two
// decimals; header rows 1 and 2 of the line table hold location counts and
// LSDs.
inline constexpr int kHeaderWidth = 12;
inline constexpr int kIdWidth = 6;
inline constexpr int kParentWidth = 2;
inline constexpr int kValueWidth = 12;
inline constexpr int kLocationsWidth = 3;
inline constexpr int kLsdWidth = 8;
inline constexpr int kDecimals = 2;

// The line table has room for twelve value columns after its three fixed
// ones (ID, Parent_1, Parent_2): the line predictions and three trial years
// of three traits.
inline constexpr int kFixedColumns = 3;
inline constexpr int kValueColumns = 12;

// What a value column holds: kind 0 the genomewide predictions, kind y the
// trial of year y (1 to 3). Its header word is kColumnHeaders[kind][trait].
inline constexpr int kPredictionKind = 0;
inline constexpr std::array<std::array<std::string_view, kTraits>, 4> kColumnHeaders = {{
    {"Yield_Pred", "Protein_Pred", "Fhb_Pred"},
    {"Yield_Y1", "Protein_Y1", "Fhb_Y1"},
    {"Yield_Y2", "Protein_Y2", "Fhb_Y2"},
    {"Yield_Y3", "Protein_Y3", "Fhb_Y3"},
}};

// The line table's columns, filled in the order the tasks add them.
struct LineTable {
  std::vector<std::array<double, kValueColumns>> ResultsTable;  // (entry, value column)
  std::array<std::string, kFixedColumns + kValueColumns> HeaderList;
  std::array<int, kValueColumns> ColumnLocations{};  // 0 for predictions
  std::array<float, kValueColumns> ColumnLsd{};      // 0.0 for predictions
  int LastColumn = 0;                                // value columns filled so far
};

// The line table of `entryCount` entries before any value column.
LineTable NewLineTable(int entryCount);

// Appends a value column after the last: its header word, its locations and
// LSD, and one value per entry. Returns false, and changes nothing, when all
// kValueColumns are filled already.
// REQUIRES: values.size() == ResultsTable.size(), kind 0..3.
[[nodiscard]] bool AppendColumn(LineTable& table, int kind, Trait trait, int locations, float lsd,
                                std::span<const double> values);

// The text of the F2-plant table: IDs, parents and the plants' predictions.
// REQUIRES here and below: one row of every table per Kept flag.
std::string PlantTableText(std::span<const int> Kept, std::span<const int> EntryId,
                           std::span<const std::array<int, 2>> EntryParents,
                           std::span<const TraitValues> PlantPrediction);

// The text of the line table with its value columns 1..LastColumn.
std::string LineTableText(std::span<const int> Kept, std::span<const int> EntryId,
                          std::span<const std::array<int, 2>> EntryParents, const LineTable& table);

// Writes `text` as Results.csv; while that fails, tells the player why and
// tries again after Enter.
void WriteResultsFile(Console& console, const std::filesystem::path& folder, const std::string& text);

}  // namespace plotwright
