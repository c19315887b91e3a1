// The round trip a player makes: the game writes Results.csv, rows are
// deleted, and a real spreadsheet program saves the file again in its own
// way (quoted header words, numbers without padding) before the read-back.
#include <gtest/gtest.h>

#include <cstdlib>

#include "selection/read_back.h"
#include "selection/results_file.h"
#include "support/scripted_player.h"

namespace plotwright {
namespace {

// Deletes the rows of `ids` from Results.csv, as a player would, lets the
// spreadsheet open the file and save it again as CSV with commas, double
// quotes and UTF-8, and reads the selection back.
std::vector<int> ResavedAndReadBack(const testing::TempFolder& folder, const std::vector<int>& ids) {
  testing::DeleteResultsRows(folder.Path(),
                             [&ids](int id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); });
  const std::string dir = folder.Path().string();
  const std::string command = "cd '" + dir + "' && soffice -env:UserInstallation=file://" + dir +
                              "/profile --headless --infilter=CSV:44,34,76,1 "
                              "--convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1' --outdir saved Results.csv"
                              " >/dev/null 2>&1 && mv saved/Results.csv Results.csv";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  EXPECT_TRUE(testing::Contains(folder.Read("Results.csv"), "\"Parent_1"));
  testing::TestConsole c("\n");
  std::vector<int> kept(12, 1);
  ReadBackSelection(c.console, folder.Path(), ResultsLayout::kLineTable, kept);
  return kept;
}

TEST(SpreadsheetTest, AResavedLineTableReadsBackTheRemainingIds) {
#ifdef _WIN32
  GTEST_SKIP() << "the spreadsheet is driven through a Unix shell, which Windows lacks";
#endif
  if (std::system("command -v soffice >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "soffice (Debian package libreoffice-calc-nogui) is not installed";
  }
  std::vector<int> kept(12, 1), id(12);
  std::vector<std::array<int, 2>> parents(12);
  std::vector<double> values(12);
  for (int i = 0; i < 12; ++i) {
    id[i] = i + 1;
    parents[i] = {i < 6 ? 1 : 12, i < 6 ? 4 : 15};
    values[i] = 100.125 - 9.5 * i;
  }
  kept[4] = 0;  // dropped earlier: not written
  testing::TempFolder folder;
  LineTable table = NewLineTable(12);
  for (int k = 0; k < 4; ++k) ASSERT_TRUE(AppendColumn(table, k % 4, static_cast<Trait>(k % 3), 4 - k, 18.1f, values));
  folder.Write("Results.csv", LineTableText(kept, id, parents, table));
  EXPECT_EQ(ResavedAndReadBack(folder, {2, 3, 11}), (std::vector<int>{1, 0, 0, 1, 0, 1, 1, 1, 1, 1, 0, 1}));
}

}  // namespace
}  // namespace plotwright
