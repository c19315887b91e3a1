#include "selection/results_file.h"

#include <gtest/gtest.h>

#include "support/scripted_player.h"

namespace plotwright {
namespace {

// Three entries; the plant table shows the plants' predictions, and the line
// table only what its columns were given.
struct Entries {
  std::vector<int> Kept = {1, 1, 1};
  std::vector<int> Id = {1, 2, 3};
  std::vector<std::array<int, 2>> Parents = {{1, 4}, {1, 4}, {12, 15}};
  std::vector<TraitValues> PlantPrediction = {{95.125, 13.004, -0.001}, {1e9, 0.0, 5.5}, {88.0, 12.5, 3.25}};
};

TEST(ResultsFileTest, PlantTableByteForByte) {
  Entries entries;
  entries.Kept[2] = 0;
  EXPECT_EQ(PlantTableText(entries.Kept, entries.Id, entries.Parents, entries.PlantPrediction),
            "Plant_ID    ,Parent_1    ,Parent_2    ,Yield_Pred  ,Protein_Pred,Fhb_Pred    \n"
            "     1, 1, 4,       95.12,       13.00,       -0.00\n"
            "     2, 1, 4,************,        0.00,        5.50\n");
  entries.Kept = {0, 0, 0};
  EXPECT_EQ(PlantTableText(entries.Kept, entries.Id, entries.Parents, entries.PlantPrediction).size(), 78u);
}

TEST(ResultsFileTest, LineTableColumnsAreAppendedWithTheirHeaderLocationsAndLsd) {
  Entries entries;
  entries.Kept[0] = 0;
  LineTable table = NewLineTable(3);
  ASSERT_TRUE(AppendColumn(table, 1, kFhb, 2, 12.125f, std::vector<double>{1.0, 7.5, 0.0}));
  ASSERT_TRUE(AppendColumn(table, kPredictionKind, kYield, 0, 0.0f, std::vector<double>{2.0, 90.0, 100.25}));
  ASSERT_TRUE(AppendColumn(table, 3, kProtein, 12, 1.5f, std::vector<double>{3.0, 13.0, -2.0}));
  EXPECT_EQ(LineTableText(entries.Kept, entries.Id, entries.Parents, table),
            "--          ,--          ,[N_Locs=>]  ,  2,  0, 12\n"
            "--          ,--          ,[LSD(10%)=>],   12.12,    0.00,    1.50\n"
            "Line_ID     ,Parent_1    ,Parent_2    ,Fhb_Y1      ,Yield_Pred  ,Protein_Y3  \n"
            "     2, 1, 4,        7.50,       90.00,       13.00\n"
            "     3,12,15,        0.00,      100.25,       -2.00\n");

  // Twelve columns fill the table; a thirteenth changes nothing.
  for (int k = 3; k < kValueColumns; ++k) {
    ASSERT_TRUE(AppendColumn(table, 2, kYield, 1, 0.0f, std::vector<double>{0.0, 0.0, 0.0}));
  }
  const std::string full = LineTableText(entries.Kept, entries.Id, entries.Parents, table);
  EXPECT_FALSE(AppendColumn(table, 2, kFhb, 1, 9.0f, std::vector<double>{9.0, 9.0, 9.0}));
  EXPECT_EQ(LineTableText(entries.Kept, entries.Id, entries.Parents, table), full);
  EXPECT_EQ(table.LastColumn, kValueColumns);
}

// The task is paid for when the table is written: a file another program
// holds is waited for, never fatal.
TEST(ResultsFileTest, AHeldFileIsWaitedFor) {
  testing::TempFolder folder;
  folder.Write(".~lock.Results.csv#", "");
  testing::TestConsole c(
      folder.Path(),
      {{""}, {"", [](const std::filesystem::path& path) { std::filesystem::remove(path / ".~lock.Results.csv#"); }}});
  WriteResultsFile(c.console, folder.Path(), "Plant_ID\n");
  EXPECT_EQ(folder.Read("Results.csv"), "Plant_ID\n");
  EXPECT_EQ(testing::Count(c.out.str(), "  Make sure the RESULTS.CSV file is closed\n  Press <Enter> to continue\n"),
            2u);
}

}  // namespace
}  // namespace plotwright
