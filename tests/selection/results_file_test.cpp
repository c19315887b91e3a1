#include "selection/results_file.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/scripted_player.h"

namespace plotwright {
namespace {

Population ThreeEntries() {
  Population population;
  CreateEntryTables(population, 3);
  population.EntryParents = {{{1, 4}}, {{1, 4}}, {{12, 15}}};
  population.EntryId = {1, 2, 3};
  population.PlantPrediction = {{{95.125, 13.004, -0.001}}, {{1e9, 0.0, 5.5}}, {{88.0, 12.5, 3.25}}};
  return population;
}

TEST(ResultsFileTest, PlantTableByteForByte) {
  Population population = ThreeEntries();
  population.Kept = {1, 1, 0};
  EXPECT_EQ(PlantTableText(population),
            "Plant_ID    ,Parent_1    ,Parent_2    ,Yield_Pred  ,Protein_Pred,Fhb_Pred    \n"
            "     1, 1, 4,       95.12,       13.00,       -0.00\n"
            "     2, 1, 4,************,        0.00,        5.50\n");
  population.Kept = {0, 0, 0};
  EXPECT_EQ(PlantTableText(population).size(), 78u);  // the header row alone
}

TEST(ResultsFileTest, LineTableByteForByte) {
  Population population = ThreeEntries();
  population.Kept = {0, 1, 1};
  LineTableColumns columns = NewLineTableColumns();
  columns.LastColumn = 4;
  columns.HeaderList[3] = columns.ColumnHeaders[1][2];
  for (std::size_t t = 0; t < 3; ++t) columns.HeaderList[4 + t] = columns.ColumnHeaders[0][t];
  columns.ColumnLocations[0] = 2;
  columns.ColumnLsd[0] = 12.125f;
  population.ResultsTable[1] = {{7.5, 90.0, 13.0, 11.0}};
  population.ResultsTable[2] = {{0.0, 100.25, 12.0, -2.0}};
  EXPECT_EQ(LineTableText(population, columns),
            "--          ,--          ,[N_Locs=>]  ,  2,  0,  0,  0\n"
            "--          ,--          ,[LSD(10%)=>],   12.12,    0.00,    0.00,    0.00\n"
            "Line_ID     ,Parent_1    ,Parent_2    ,Fhb_Y1      ,Yield_Pred  ,Protein_Pred,Fhb_Pred    \n"
            "     2, 1, 4,        7.50,       90.00,       13.00,       11.00\n"
            "     3,12,15,        0.00,      100.25,       12.00,       -2.00\n");
}

}  // namespace
}  // namespace plotwright

namespace plotwright {
namespace {

TEST(ResultsFileTest, AHeldFileIsWaitedForNotFatal) {
  testing::TempFolder folder;
  folder.Write(".~lock.Results.csv#", "");
  std::vector<testing::PlayerStep> steps = {
      {""}, {"", [](const std::filesystem::path& path) { std::filesystem::remove(path / ".~lock.Results.csv#"); }}};
  testing::ScriptedInput input(folder.Path(), steps);
  std::istream in(&input);
  std::ostringstream out, err;
  Console console = MakeConsole(in, out, err);
  WriteResultsFile(console, folder.Path(), "Plant_ID\n");
  EXPECT_EQ(folder.Read("Results.csv"), "Plant_ID\n");
  EXPECT_EQ(testing::Count(out.str(), "  Make sure the RESULTS.CSV file is closed\n  Press <Enter> to continue\n"), 2u);
}

}  // namespace
}  // namespace plotwright
