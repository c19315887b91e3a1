// One fixed-seed game on a made-up world through every task a student meets.
// It pins what a player sees, so a fault anywhere in the chain (lines off
// the trait scales, a trial of the plants instead of their lines, the
// plants' predictions shown for the lines) shows up as the cell that moved.
#include <gtest/gtest.h>

#include <sstream>

#include "exit_status.h"
#include "game/game.h"
#include "support/made_up_world.h"

namespace plotwright {
namespace {

using testing::PlayerStep;
using testing::TempFolder;

// The row of `table` that starts with `id` ("     7, 1, 4, ..."), or "".
std::string Row(const std::string& table, int id) {
  const std::string start = std::string(6 - std::to_string(id).size(), ' ') + std::to_string(id) + ",";
  std::istringstream lines(table);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(start, 0) == 0) return line;
  }
  return "";
}

// Line `n` (0 = the first) of `table`.
std::string Line(const std::string& table, int n) {
  std::istringstream lines(table);
  std::string line;
  for (int i = 0; i <= n; ++i) std::getline(lines, line);
  return line;
}

std::vector<std::string> Balances(const std::string& out) {
  std::vector<std::string> balances;
  const std::string label = "Remaining balance: $ ";
  for (std::size_t at = out.find(label); at != std::string::npos; at = out.find(label, at + 1)) {
    balances.push_back(out.substr(at + label.size(), 12));
  }
  return balances;
}

TEST(WholeGameTest, AFixedSeedGameShowsThePlayerTheseValues) {
  TempFolder folder;
  testing::WriteMadeUpWorld(folder);
  folder.Write("Crosses.csv", "1,4,20\n2,7,20\n3,12,20\n");
  std::vector<std::string> tables;
  // At each wait the player reads Results.csv and deletes the IDs divisible by `every`.
  const auto selects = [&tables](int every) {
    return PlayerStep{"", [&tables, every](const std::filesystem::path& path) {
                        tables.push_back(TempFolder::ReadFile(path / "Results.csv"));
                        testing::DeleteResultsRows(path, [every](int id) { return every > 0 && id % every == 0; });
                      }};
  };
  // clang-format off
  const std::vector<PlayerStep> steps = {
      {""},
      {"2"}, selects(3),              // plant predictions
      {"3"},                          // single-seed descent
      {"1"},                          // screening the lines
      {"2"}, selects(4),              // line predictions
      {"4"}, {"3"}, selects(5),       // year 1: yield and protein at 3 locations
      {"5"}, {"2"}, selects(0),       // year 2: Fhb at 2 locations
      {"6"}, {"4"}, {"2"}, selects(0),  // year 3: all three traits
      {"99"}, {"7"}, {""}};
  // clang-format on
  const testing::GameRun run = testing::PlayScripted(folder.Path(), steps, -42);
  ASSERT_EQ(run.Status, kExitNormal) << run.Out;
  ASSERT_EQ(tables.size(), 5u);

  EXPECT_EQ(Balances(run.Out),
            (std::vector<std::string>{"     249925.", "     248725.", "     248125.", "     248073.", "     247673.",
                                      "   245783.00", "   245663.00", "   243527.00"}));

  const std::string& plants = tables[0];
  EXPECT_EQ(Line(plants, 0), "Plant_ID    ,Parent_1    ,Parent_2    ,Yield_Pred  ,Protein_Pred,Fhb_Pred    ");
  EXPECT_EQ(Row(plants, 10), "    10, 1, 4,       97.72,       20.47,       10.88");
  EXPECT_EQ(Row(plants, 53), "    53, 3,12,       91.93,       17.12,        4.07");

  EXPECT_TRUE(testing::Contains(
      run.Out, "   \n  ---------------\n   \n  Developing homozygous lines\n  Please wait ...\n   \n"));
  // Line predictions alone make a line fit to release.
  EXPECT_TRUE(testing::Contains(run.Out, "[Year 1]\n    99  Release selected inbred as a cultivar [Line_ID needed]\n"));
  EXPECT_TRUE(testing::Contains(run.Out, "   \n  ---------------\n   \n  Genomewide predictions done\n   \n  - Open"));
  EXPECT_TRUE(testing::Contains(run.Out, "   \n  ---------------\n   \n  Phenotyping done for Year 2\n   \n  - Open"));
  // Founders 3 and 12 lack the resistance allele: the screening drops their
  // lines, and half of the 40 lines left.
  EXPECT_TRUE(testing::Contains(run.Out, "  Number of lines kept =     20\n"));
  EXPECT_EQ(Row(tables[1], 53), "");
  EXPECT_EQ(Row(tables[1], 10), "    10, 1, 4,       99.30,       20.21,       11.75");

  const std::string& last = tables[4];
  EXPECT_EQ(Line(last, 0), "--          ,--          ,[N_Locs=>]  ,  0,  0,  0,  3,  3,  2,  4,  4,  2");
  EXPECT_EQ(Line(last, 1),
            "--          ,--          ,[LSD(10%)=>],    0.00,    0.00,    0.00,   22.70,    1.17,   12.94,   18.72,"
            "    0.96,   12.85");
  EXPECT_EQ(Line(last, 2),
            "Line_ID     ,Parent_1    ,Parent_2    ,Yield_Pred  ,Protein_Pred,Fhb_Pred    ,Yield_Y1    ,Protein_Y1  ,"
            "Fhb_Y2      ,Yield_Y3    ,Protein_Y3  ,Fhb_Y3      ");
  EXPECT_EQ(Row(last, 7),
            "     7, 1, 4,       95.96,       15.86,       11.85,      128.03,       12.14,       10.96,      109.13,"
            "       11.22,        5.87");

  const std::string verdict =
      "   \n  ---------------\n   \n  The genotypic values of the line you released are as follows:\n   \n"
      "  Line ID      7, from Parent  1 x Parent  4\n   \n"
      "       Yield [bushels/acre] =       107.80\n"
      "  Protein concentration [%] =        11.98\n"
      "           Fhb severity [%] =         8.49\n   \n   \n"
      "  The new line meets the standard for protein but not for Fhb\n   \n  Try again!\n";
  EXPECT_TRUE(testing::Contains(run.Out, verdict));
}

}  // namespace
}  // namespace plotwright
