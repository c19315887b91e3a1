// The round trip a player makes: the game writes Results.csv, rows are
// deleted, and a real spreadsheet program saves the file again in its own
// way (quoted header words, numbers without padding) before the read-back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "selection/read_back.h"
#include "selection/results_file.h"
#include "support/scripted_player.h"

namespace plotwright {
namespace {

using testing::TempFolder;

bool SpreadsheetAvailable() { return std::system("command -v soffice >/dev/null 2>&1") == 0; }

// Deletes the data rows whose first field is one of `ids`, as a player would.
std::string DeleteRows(const std::string& table, const std::vector<int>& ids) {
  std::istringstream in(table);
  std::string kept;
  for (std::string line; std::getline(in, line);) {
    bool drop = false;
    for (int id : ids) drop = drop || line.rfind(std::string(6 - std::to_string(id).size(), ' ') + std::to_string(id) + ",", 0) == 0;
    if (!drop) kept += line + "\n";
  }
  return kept;
}

// Lets the spreadsheet open Results.csv and save it again as CSV with commas,
// double quotes and UTF-8.
void ResaveInSpreadsheet(const TempFolder& folder) {
  const std::string dir = folder.Path().string();
  const std::string command = "cd '" + dir + "' && soffice -env:UserInstallation=file://" + dir +
                              "/profile --headless --infilter=CSV:44,34,76,1 "
                              "--convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1' --outdir saved Results.csv"
                              " >/dev/null 2>&1 && mv saved/Results.csv Results.csv";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

std::vector<int> ReadBackAfterEnter(const TempFolder& folder, ResultsLayout layout, std::size_t entries) {
  testing::TestConsole c("\n");
  std::vector<int> kept(entries, 1);
  ReadBackSelection(c.console, folder.Path(), layout, kept);
  return kept;
}

TEST(SpreadsheetTest, ResavedTablesReadBackTheRemainingIds) {
  if (!SpreadsheetAvailable()) GTEST_SKIP() << "soffice (Debian package libreoffice-calc-nogui) is not installed";
  std::vector<int> kept(12, 1), id(12);
  std::vector<std::array<int, 2>> parents(12);
  std::vector<TraitValues> predictions(12);
  LineTable table = NewLineTable(12);
  std::vector<std::vector<double>> columns(4, std::vector<double>(12));
  for (int i = 0; i < 12; ++i) {
    id[i] = i + 1;
    parents[i] = {i < 6 ? 1 : 12, i < 6 ? 4 : 15};
    predictions[i] = {90.0 + i * 1.255, 13.0 - i * 0.5, -1.0 + i};
    columns[0][i] = 1.0 * i, columns[1][i] = -2.5, columns[2][i] = 100.125, columns[3][i] = 3.0;
  }
  kept[4] = 0;  // dropped earlier: not written

  TempFolder folder;
  folder.Write("Results.csv", DeleteRows(PlantTableText(kept, id, parents, predictions), {1, 7, 12}));
  ResaveInSpreadsheet(folder);
  EXPECT_NE(folder.Read("Results.csv").find("\"Plant_ID"), std::string::npos) << folder.Read("Results.csv");
  EXPECT_EQ(ReadBackAfterEnter(folder, ResultsLayout::kPlantTable, 12),
            (std::vector<int>{0, 1, 1, 1, 0, 1, 0, 1, 1, 1, 1, 0}));

  const float lsd[] = {18.1f, 1.01f, 12.1f, 0.0f};
  for (int k = 0; k < 4; ++k) ASSERT_TRUE(AppendColumn(table, 1 + k % 3, static_cast<Trait>(k % 3), 4 - k, lsd[k], columns[k]));
  folder.Write("Results.csv", DeleteRows(LineTableText(kept, id, parents, table), {2, 3, 11}));
  ResaveInSpreadsheet(folder);
  EXPECT_EQ(ReadBackAfterEnter(folder, ResultsLayout::kLineTable, 12),
            (std::vector<int>{1, 0, 0, 1, 0, 1, 1, 1, 1, 1, 0, 1}));
}

}  // namespace
}  // namespace plotwright
