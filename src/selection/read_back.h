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
