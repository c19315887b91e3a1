#include "driver/game.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "support/scripted_player.h"

namespace plotwright {
namespace {

using testing::Count;

using testing::Answers;
using testing::PlayerStep;
using testing::PlayScripted;
using testing::TempFolder;

const char kBanner[] =
    "   \n"
    " Plotwright - Taproom Version\n"
    " The Plotwright project, 2026\n"
    " --------------------------------------------------\n"
    "   \n"
    "   \n";
const char kCrossesClosed[] = "  Make sure the CROSSES.CSV file is closed\n  Press <Enter> to continue\n";
const char kEndSequence[] = "   \n   \n  Press <Enter> to EXIT\n   \n";

TEST(GameTest, StartUpFromMissingCrossesFileToTheFirstMenu) {
  TempFolder folder;
  folder.Write("Results.csv", "an old game's results\n");
  std::vector<PlayerStep> steps = {
      {""},
      {"", [](const std::filesystem::path& path) { std::ofstream(path / "Crosses.csv") << "3,12,4\n1,4,3\n"; }},
      {""}};
  auto run = PlayScripted(folder.Path(), steps, -7);
  EXPECT_EQ(run.Status, kExitFatalIo);  // the script ends at the menu
  EXPECT_EQ(run.Err, "end-of-file during read, unit 5, file stdin\n");
  EXPECT_EQ(folder.Read("Results.csv"), "   \n");
  const std::string expected = std::string(kBanner) +
                               "  The CROSSES.CSV file cannot be found\n"
                               "  Double check, then press <Enter> to continue\n   \n"
                               "  The CROSSES.CSV file cannot be found\n"
                               "  Double check, then press <Enter> to continue\n   \n" +
                               kCrossesClosed +
                               "   \n"
                               "  Creating F2 plants within each cross ...\n"
                               "    Cross   1: Line  3 x Line 12\n"
                               "    Cross   2: Line  1 x Line  4\n"
                               "   \n"
                               "          --->>> Remaining balance: $      249950.\n"
                               "   \n";
  EXPECT_EQ(run.Out.substr(0, expected.size()), expected);
  EXPECT_EQ(run.Out.substr(run.Out.size() - 9), "  Task : ");
}

TEST(GameTest, HeldFilesAreWaitedFor) {
  TempFolder folder;
  folder.Write("Crosses.csv", "1,2,1\n");
  folder.Write(".~lock.Results.csv#", "");
  folder.Write(".~lock.Crosses.csv#", "");
  std::vector<PlayerStep> steps = {
      {""},
      {"", [](const std::filesystem::path& path) { std::filesystem::remove(path / ".~lock.Crosses.csv#"); }}};
  auto run = PlayScripted(folder.Path(), steps);
  EXPECT_EQ(run.Out.find("cannot be found"), std::string::npos);
  EXPECT_EQ(Count(run.Out, kCrossesClosed), 2u);
  EXPECT_NE(run.Out.find("Creating F2 plants"), std::string::npos);
  EXPECT_EQ(folder.Read("Results.csv"), "");  // held, so not reset
}

TEST(GameTest, UnusableCrossesEndTheGameUncharged) {
  TempFolder folder;
  folder.Write("Crosses.csv", "1,2,10\n2,1,10\n");
  auto run = PlayScripted(folder.Path(), Answers({"", ""}));
  EXPECT_EQ(run.Status, kExitNormal);
  EXPECT_EQ(run.Err, "");
  EXPECT_EQ(run.AnswersGiven, 2);
  EXPECT_EQ(run.Out.find("balance"), std::string::npos);
  const std::string ending = "    Make sure each cross in the CROSSES.CSV file is unique\n" + std::string(kEndSequence);
  EXPECT_EQ(run.Out.substr(run.Out.size() - ending.size()), ending);
}

TEST(GameTest, MalformedReferenceFileEndsTheGameThroughTheEndSequence) {
  TempFolder folder;
  folder.Write("Crosses.csv", "1,2,10\n");
  folder.Write("zKeepOut.csv", "0.5,0.5\n");
  auto run = PlayScripted(folder.Path(), Answers({"", ""}));
  EXPECT_EQ(run.Status, kExitNormal);
  EXPECT_NE(run.Out.find("The zKeepOut.csv file ends after 0 of its 513 records"), std::string::npos) << run.Out;
  EXPECT_EQ(run.Out.substr(run.Out.size() - std::string(kEndSequence).size()), kEndSequence);
}

TEST(GameTest, EndOfInputAtAnyWaitEndsAtOnce) {
  TempFolder folder;
  auto missing = PlayScripted(folder.Path(), {});
  EXPECT_EQ(missing.Status, kExitFatalIo);
  EXPECT_EQ(missing.Err, "end-of-file during read, unit 5, file stdin\n");
  folder.Write("Crosses.csv", "1,1,10\n");
  auto closed = PlayScripted(folder.Path(), {});
  EXPECT_EQ(closed.Status, kExitFatalIo);
  EXPECT_EQ(closed.Out.substr(closed.Out.size() - std::string(kCrossesClosed).size()), kCrossesClosed);
  folder.Write("Crosses.csv", "1,1,10\n1,1,10\n");
  auto ending = PlayScripted(folder.Path(), Answers({""}));
  EXPECT_EQ(ending.Status, kExitFatalIo);
  EXPECT_EQ(ending.Out.substr(ending.Out.size() - 24), "  Press <Enter> to EXIT\n");
}

}  // namespace
}  // namespace plotwright

namespace plotwright {
namespace {

int NumberAfter(const std::string& text, const std::string& label) {
  const std::size_t at = text.find(label);
  return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + label.size());
}

TEST(GameFlowTest, PredictScreenAndInbredFromPlantsToLines) {
  TempFolder folder;
  folder.Write("Crosses.csv", "1,2,8\n2,3,6\n1,4,5\n");
  std::string plantTable, lineTable;
  std::vector<PlayerStep> steps = {
      {""},
      {"2"},
      {"", [&](const std::filesystem::path& path) {
         plantTable = TempFolder::ReadFile(path / "Results.csv");
         testing::DeleteResultsRows(path, [](int id) { return id % 2 == 0; });
       }},
      {"1"},
      {"3"},
      {"2"},
      {"", [&](const std::filesystem::path& path) { lineTable = TempFolder::ReadFile(path / "Results.csv"); }}};
  auto run = PlayScripted(folder.Path(), steps, -3);
  EXPECT_EQ(run.AnswersGiven, 7);
  EXPECT_EQ(Count(plantTable, "\n"), 20u);  // the header row and 19 plants
  const int kept = NumberAfter(run.Out, "  Number of F2 plants kept = ");
  ASSERT_GE(kept, 3);  // at least the odd plants of founders 1 x 4
  // Balances: crosses 75, predictions 19 x 20, screening 4 x 4 (only the
  // kept plants of the segregating cross 1 x 2), lines and line predictions
  // for the plants kept after screening.
  std::vector<int> balances;
  for (std::size_t at = run.Out.find("Remaining balance: $"); at != std::string::npos;
       at = run.Out.find("Remaining balance: $", at + 1)) {
    balances.push_back(std::atoi(run.Out.c_str() + at + 20));
  }
  EXPECT_EQ(balances, (std::vector<int>{249925, 249545, 249529, 249529 - 15 * kept, 249529 - 35 * kept}));
  EXPECT_NE(run.Out.find("  Developing homozygous lines\n  Please wait ...\n"), std::string::npos);
  const std::string lineHeader =
      "--          ,--          ,[N_Locs=>]  ,  0,  0,  0\n"
      "--          ,--          ,[LSD(10%)=>],    0.00,    0.00,    0.00\n"
      "Line_ID     ,Parent_1    ,Parent_2    ,Yield_Pred  ,Protein_Pred,Fhb_Pred    \n";
  EXPECT_EQ(lineTable.substr(0, lineHeader.size()), lineHeader);
  EXPECT_EQ(Count(lineTable, "\n"), static_cast<std::size_t>(3 + kept));
  EXPECT_NE(run.Out.find("     6  Phenotype lines for all three traits [Year 1]\n"
                         "    99  Release selected inbred as a cultivar [Line_ID needed]\n"),
            std::string::npos);
}

TEST(GameFlowTest, ARefusedChargeTerminatesTheGame) {
  TempFolder folder;
  folder.Write("Crosses.csv", "1,2,2000\n1,3,2000\n1,4,2000\n1,5,2000\n1,6,2000\n1,7,2000\n1,8,2000\n");
  auto run = PlayScripted(folder.Path(), Answers({"", "2", ""}));
  EXPECT_EQ(run.Status, kExitNormal);
  EXPECT_EQ(run.Err, "");
  const std::string ending =
      "          --->>> Expenses exceed remaining funds\n"
      "                    Balance:  $      249825.\n"
      "                    Expenses: $      280000.\n"
      "   \n   \n          --->>> Program terminated\n" +
      std::string(kEndSequence);
  EXPECT_EQ(run.Out.substr(run.Out.size() - ending.size()), ending);
  EXPECT_EQ(folder.Read("Results.csv"), "   \n");  // nothing written for a refused task
}

}  // namespace
}  // namespace plotwright
