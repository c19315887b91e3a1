// The read-back of the player's selection: after a table has been written to
// Results.csv the player deletes the rows of the entries to drop, saves,
// closes and presses Enter; the IDs left in the first column become the kept
// entries. The loop repeats until the file can be opened, its header rows are
// intact and every data row starts with a whole number.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "textio/console.h"

namespace plotwright {

enum class ResultsLayout {
  kPlantTable,  // one header row, "Plant_ID" first
  kLineTable,   // three header rows: "--", "--", "Line_ID"
};

// What a saved Results.csv says: the IDs of 1..entryCount in its first
// column, or why it cannot be read.
struct Selection {
  enum class Status { kRead, kUnicode, kHeaderChanged, kBadRow } Read = Status::kRead;
  std::vector<int> Ids;  // in file order, duplicates as written; none unless kRead
  int BadLine = 0;       // the line of a row that starts with no ID (kBadRow)
  std::string BadField;  // that row's first field
};

// Reads the text of a saved Results.csv. The header rows are the first lines
// that hold a value. A data row keeps its first field's ID; a row that holds
// nothing there (an empty line, a cleared cell, a tab at the start of a
// tab-separated row) keeps nothing, nor does an ID outside 1..entryCount.
Selection ParseSelection(std::string_view text, ResultsLayout layout, std::size_t entryCount);

// Waits for the player's selection and sets Kept[id - 1] to 1 exactly for
// the IDs 1..Kept.size() found in the first column; rows holding other IDs
// are ignored. Returns only once a read-back has succeeded.
void ReadBackSelection(Console& console, const std::filesystem::path& folder, ResultsLayout layout,
                       std::vector<int>& Kept);

// The whole exchange after a task: writes `table` as Results.csv (waiting
// while it is held), tells the player the task is done with a separator and
// the record `done`, and reads the selection back into Kept.
void ExchangeResults(Console& console, const std::filesystem::path& folder, const std::string& table,
                     ResultsLayout layout, std::string_view done, std::vector<int>& Kept);

}  // namespace plotwright
