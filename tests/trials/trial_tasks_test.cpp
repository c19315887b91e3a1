#include "trials/trial_tasks.h"

#include <gtest/gtest.h>

#include "driver/game.h"
#include "support/scripted_player.h"

namespace plotwright {
namespace {

using testing::Count;

using testing::Answers;
using testing::PlayerStep;
using testing::PlayScripted;
using testing::TempFolder;

const char kYieldPrompt[] = "  Number of trial locations for yield and protein [maximum of 12]: ";
const char kFhbPrompt[] = "  Number of trial locations for Fhb [maximum of 4]: ";

TEST(TrialTasksTest, ThreeYearsOfTrialsInAnyOrderThenTheRelease) {
  TempFolder folder;
  folder.Write("Crosses.csv", "1,4,20\n2,7,20\n");
  std::string firstYear;
  std::vector<PlayerStep> steps = Answers({"", "3", "5", "5", "0", "-1", "2"});
  steps.push_back({"", [&](const std::filesystem::path& path) {
                     firstYear = TempFolder::ReadFile(path / "Results.csv");
                     testing::DeleteResultsRows(path, [](int id) { return id % 2 == 0; });
                   }});
  for (const char* answer : {"4", "13", "x", "12", "", "6", "4", "5", "2", "", "4", "99", "41", "40", ""}) {
    steps.push_back({answer});
  }
  auto run = PlayScripted(folder.Path(), steps, -21);
  EXPECT_EQ(run.Status, kExitNormal) << run.Out;
  EXPECT_EQ(run.AnswersGiven, static_cast<int>(steps.size()));

  // Locations outside 1..max bring the same prompt back with only a spacer;
  // in task 6 a wrong Fhb count repeats only the Fhb prompt.
  EXPECT_NE(run.Out.find(std::string(kFhbPrompt) + "   \n" + kFhbPrompt + "   \n" + kFhbPrompt + "   \n" +
                         kFhbPrompt + "   \n   \n          --->>> Remaining balance: $    248950.00\n"),
            std::string::npos)
      << run.Out;
  EXPECT_NE(run.Out.find(std::string(kYieldPrompt) + "   \n" + kYieldPrompt + kYieldPrompt + "   \n   \n"),
            std::string::npos);
  EXPECT_EQ(Count(run.Out, kYieldPrompt), 4u);
  EXPECT_NE(run.Out.find(std::string(kYieldPrompt) + "   \n" + kFhbPrompt + "   \n" + kFhbPrompt + "   \n   \n"),
            std::string::npos);
  // Charges after the crosses and the lines: 40 lines x 2 Fhb locations x 5,
  // then the 20 kept lines at 12 x 42, then at 4 x 42 + 2 x 5.
  EXPECT_NE(run.Out.find("Remaining balance: $    238870.00\n"), std::string::npos);
  EXPECT_NE(run.Out.find("Remaining balance: $    235310.00\n"), std::string::npos);
  for (const char* year : {"  Phenotyping done for Year 1\n", "  Phenotyping done for Year 2\n",
                           "  Phenotyping done for Year 3\n"}) {
    EXPECT_EQ(Count(run.Out, year), 1u);
  }
  // After three years no trial is offered or accepted.
  EXPECT_NE(run.Out.find("Year 3]\n"), std::string::npos);
  EXPECT_EQ(run.Out.find("Year 4]"), std::string::npos);
  EXPECT_NE(run.Out.find("  Task :   Hey, invalid choice ...\n"), std::string::npos);
  EXPECT_NE(run.Out.find("  Line ID     40, from Parent  2 x Parent  7\n"), std::string::npos);

  EXPECT_EQ(firstYear.rfind("--          ,--          ,[N_Locs=>]  ,  2\n", 0), 0u);
  EXPECT_EQ(Count(firstYear, "\n"), 43u);
  const std::string table = folder.Read("Results.csv");
  EXPECT_EQ(table.rfind("--          ,--          ,[N_Locs=>]  ,  2, 12, 12,  4,  4,  2\n", 0), 0u);
  EXPECT_NE(table.find("Line_ID     ,Parent_1    ,Parent_2    ,Fhb_Y1      ,Yield_Y2    ,Protein_Y2  ,"
                       "Yield_Y3    ,Protein_Y3  ,Fhb_Y3      \n     1, 1, 4,"),
            std::string::npos)
      << table;
  EXPECT_EQ(Count(table, "\n"), 23u);  // the odd lines only
}

TEST(TrialTasksTest, TooLittleMoneyAsksForFewerLocations) {
  TempFolder folder;
  folder.Write("Crosses.csv", "1,4,500\n");
  auto run = PlayScripted(folder.Path(), Answers({"", "3", "4", "12", "11", "", "99", "1", ""}), -8);
  EXPECT_EQ(run.Status, kExitNormal);
  EXPECT_NE(run.Out.find(std::string(kYieldPrompt) +
                         "   \n   \n          --->>> Expenses exceed remaining funds\n"
                         "                    Balance:  $    242475.00\n"
                         "                    Expenses: $    252000.00\n   \n   \n"
                         "                 Reduce the number of locations\n   \n" +
                         kYieldPrompt + "   \n   \n          --->>> Remaining balance: $     11475.00\n"),
            std::string::npos)
      << run.Out;
}

}  // namespace
}  // namespace plotwright
