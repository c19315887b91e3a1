// The debrief's figures come from the game's true values: shares of winning
// lines per cross, how well each prediction and trial column followed the
// truth, what each step kept; and a replayed record gives the same page as
// the game itself wrote.
#include "reports/debrief.h"

#include <gtest/gtest.h>

#include <cmath>

#include "exit_status.h"
#include "game/game.h"
#include "reports/debrief_page.h"
#include "reports/standards_picture.h"
#include "statistics.h"
#include "support/scripted_player.h"

namespace plotwright {
namespace {

using testing::Contains;
using testing::TempFolder;

// Two crosses of two entries each, all kept.
Game SmallGame() {
  Game game;
  game.Crosses.CrossParents = {{{3, 13}}, {{12, 14}}};
  game.Crosses.CrossSize = {2, 2};
  CreateEntryTables(game.Entries, 4);
  game.Entries.PlantGenValue = {{90, 11.0, 4.0}, {91, 13.0, 9.0}, {92, 10.0, 6.0}, {93, 12.5, 3.0}};
  game.Lines = NewLineTable(4);
  return game;
}

TEST(DebriefTest, FactsComeFromTheTrueValues) {
  EXPECT_TRUE(MeetsBothStandards({0, 12.00499, 5.0}));
  EXPECT_FALSE(MeetsBothStandards({0, 12.006, 5.0}));
  EXPECT_DOUBLE_EQ(MarginInsideStandards({0, 11.0, 4.0}), 12.00499 - 11.0);
  EXPECT_LT(MarginInsideStandards({0, 8.0, 1.0}), 0.0);

  Game game = SmallGame();
  DebriefCollector collector;
  collector.Started(game);
  // Plant predictions that follow protein closely and Fhb loosely; the
  // player keeps entries 1 and 3.
  const std::vector<int> all = game.Entries.Kept;
  game.Entries.PlantPrediction = {{0, 1, 4}, {0, 3, 3}, {0, 0, 2}, {0, 2, 1}};
  game.Entries.Kept = {1, 0, 1, 0};
  collector.TaskDone(game, TaskNumber::kPredict, all, 80.0);
  // Lines: one winning line in the first cross, none in the second.
  game.State.LinesMade = 1;
  game.Entries.LineGenValue = {{0, 11.5, 4.5}, {0, 12.5, 3.0}, {0, 9.5, 7.0}, {0, 13.0, 4.0}};
  collector.TaskDone(game, TaskNumber::kMakeLines, game.Entries.Kept, 30.0);
  // A trial column measuring protein of the two kept lines.
  std::vector<double> protein = {11.4, 0, 9.9, 0};
  ASSERT_TRUE(AppendColumn(game.Lines, 1, kProtein, 4, 0.5f, protein));
  collector.TaskDone(game, TaskNumber::kYieldProteinTrial, game.Entries.Kept, 100.0);

  const DebriefFacts& facts = collector.Facts();
  ASSERT_EQ(facts.Crosses.size(), 2u);
  EXPECT_EQ(facts.Crosses[0].Lines, 2);
  EXPECT_EQ(facts.Crosses[0].Winning, 1);
  EXPECT_EQ(facts.Crosses[1].Winning, 0);
  ASSERT_EQ(facts.Steps.size(), 3u);
  const DebriefStep& predicted = facts.Steps[0];
  EXPECT_FALSE(predicted.OnLines);
  EXPECT_EQ(predicted.KeptBefore, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(predicted.KeptAfter, (std::vector<int>{0, 2}));
  ASSERT_EQ(predicted.Measures.size(), 3u);
  EXPECT_EQ(predicted.Measures[1].Name, "Protein_Pred");
  EXPECT_NEAR(predicted.Measures[1].Correlation, 0.984495, 1e-6);  // protein truth 11, 13, 10, 12.5
  EXPECT_NEAR(predicted.Measures[2].Correlation, 0.292770, 1e-6);
  EXPECT_TRUE(std::isnan(predicted.Measures[0].Correlation));  // a constant prediction
  const DebriefStep& trial = facts.Steps[2];
  ASSERT_EQ(trial.Measures.size(), 1u);
  EXPECT_EQ(trial.Measures[0].Name, "Protein_Y1");
  EXPECT_EQ(trial.Measures[0].Of, kProtein);
  EXPECT_EQ(trial.Measures[0].Locations, 4);
  EXPECT_EQ(trial.Measures[0].Entries, 2);
  EXPECT_TRUE(std::isnan(trial.Measures[0].Correlation));  // two entries only

  const std::string page = DebriefHtml(GameRecord{}, facts);
  EXPECT_TRUE(Contains(page, "<tr><td>3 x 13</td><td>2</td><td>1</td><td>50.0%</td></tr>"));
  EXPECT_TRUE(Contains(page, "<td>Protein_Y1</td><td>4</td><td>0.50</td><td>2</td>"));
  EXPECT_TRUE(Contains(page, "The game ended without a release."));
}

// A trial is judged on every line it measured, also when the player then
// drops some of them from the table it came back in.
TEST(DebriefTest, ATrialIsJudgedOnTheLinesItMeasured) {
  Game game = SmallGame();
  DebriefCollector collector;
  collector.Started(game);
  game.State.LinesMade = 1;
  game.Entries.LineGenValue = {{0, 11.5, 4.5}, {0, 12.5, 3.0}, {0, 9.5, 7.0}, {0, 13.0, 4.0}};
  collector.TaskDone(game, TaskNumber::kMakeLines, game.Entries.Kept, 60.0);
  const std::vector<double> fhb = {4.0, 3.9, 6.5, 2.0};
  ASSERT_TRUE(AppendColumn(game.Lines, 1, kFhb, 2, 1.5f, fhb));
  const std::vector<int> measured = game.Entries.Kept;
  game.Entries.Kept = {1, 0, 1, 1};  // the player drops the second line
  collector.TaskDone(game, TaskNumber::kFhbTrial, measured, 40.0);

  const DebriefStep& trial = collector.Facts().Steps.back();
  EXPECT_EQ(trial.KeptAfter, (std::vector<int>{0, 2, 3}));
  ASSERT_EQ(trial.Measures.size(), 1u);
  EXPECT_EQ(trial.Measures[0].Name, "Fhb_Y1");
  EXPECT_EQ(trial.Measures[0].Entries, 4);
  const std::vector<double> truth = {4.5, 3.0, 7.0, 4.0};
  EXPECT_DOUBLE_EQ(trial.Measures[0].Correlation, Correlation(fhb, truth));
}

// The debrief shows what happened: a trial refused for its cost is no step;
// lines the student typed back after dropping them are shown as such, and
// counted alike in the step and in the money; the released line is ringed
// only where it was among the entries; a correlation over few entries
// comes with a warning.
TEST(DebriefTest, TheDebriefShowsWhatHappened) {
  Game game = SmallGame();
  DebriefCollector collector;
  collector.Started(game);
  game.State.LinesMade = 1;
  game.Entries.LineGenValue = {{0, 11.5, 4.5}, {0, 12.5, 3.0}, {0, 9.5, 7.0}, {0, 13.0, 40.0}};
  game.Entries.Kept = {1, 1, 1, 0};
  collector.TaskDone(game, TaskNumber::kMakeLines, {1, 1, 1, 1}, 60.0);
  collector.TaskDone(game, TaskNumber::kFhbTrial, game.Entries.Kept, 0.0);  // not even one location paid
  EXPECT_EQ(collector.Facts().Steps.size(), 1u);
  ASSERT_TRUE(AppendColumn(game.Lines, 1, kFhb, 2, 1.5f, std::vector<double>{4.0, 3.9, 6.5, 0}));
  game.Entries.Kept = {1, 0, 0, 0};
  collector.TaskDone(game, TaskNumber::kFhbTrial, {1, 1, 1, 0}, 40.0);
  game.Entries.Kept = {1, 0, 0, 1};  // line 4, dropped before, typed back into the next table
  collector.TaskDone(game, TaskNumber::kYieldProteinTrial, {1, 0, 0, 0}, 1.0);
  DebriefFacts facts = collector.Facts();
  facts.Released = ReleasedLine{4, {12, 14}, game.Entries.LineGenValue[3], Verdict::kProteinOnly};
  const std::string page = DebriefHtml(GameRecord{}, facts);
  EXPECT_TRUE(Contains(page,
                       "<tr><td>kept</td><td>1</td><td>1</td></tr><tr><td>dropped</td><td>0</td><td>0</td></tr>"
                       "<tr><td>typed back, after an earlier step dropped them</td><td>1</td><td>0</td></tr>"));
  EXPECT_EQ(testing::Count(page, "class=\"typedback\""), 1u);
  EXPECT_TRUE(Contains(page, "<tr><td>Trial of yield and protein</td><td>1</td><td>2</td>"));  // 2 kept after it
  EXPECT_EQ(testing::Count(page, "<circle class=\"released\""), 1u);  // not in the Fhb trial, which left it out
  EXPECT_TRUE(Contains(page, " <span class=\"warn\">(over 3 entries only: too few to trust)</span>"));
}

TEST(DebriefTest, AGameWritesTheDebriefThatItsRecordGivesAgain) {
  TempFolder folder;
  folder.Write("Crosses.csv", "3,14,60\n3,13,60\n");
  const std::vector<testing::PlayerStep> steps = {{""},  {"1"}, {"2"}, {""}, {"3"},  {"2"}, {""},
                                                  {"6"}, {"2"}, {"2"}, {""}, {"99"}, {"7"}, {""}};
  const auto run = testing::PlayScripted(folder.Path(), steps, -21);
  ASSERT_EQ(run.Status, kExitNormal) << run.Out;
  const std::string page = folder.Read(std::string(kDebriefFile));
  EXPECT_TRUE(Contains(page, "<h1>Plotwright debrief</h1>"));
  // The seed as the player gave it, --seed 21, which the record keeps as -21.
  EXPECT_TRUE(Contains(page, "<title>Plotwright debrief, seed 21</title>"));
  EXPECT_TRUE(Contains(page, "The game of seed 21, played"));
  EXPECT_TRUE(Contains(page, "You released line 7 (3 x 14)"));
  EXPECT_TRUE(Contains(page, "<h3>Trial of all three traits, year 1</h3>"));
  EXPECT_EQ(testing::Count(page, "<div"), testing::Count(page, "</div>"));
  EXPECT_EQ(testing::Count(page, "<table"), testing::Count(page, "</table>"));
  EXPECT_TRUE(Contains(page, "<tr><td>Crosses: the F2 plants</td><td>50</td><td>120</td>"));
  EXPECT_TRUE(Contains(page, "<td>Fhb_Y1</td><td>2</td>"));

  std::filesystem::remove(folder.Path() / kDebriefFile);
  testing::TestConsole console;
  EXPECT_EQ(WriteDebriefOfRecord(console.console, folder.Path(), "Plotwright-record.json"), 0);
  EXPECT_EQ(folder.Read(std::string(kDebriefFile)), page);
  // A record that does not replay gives no debrief.
  std::string edited = folder.Read("Plotwright-record.json");
  edited[0] = '[';
  folder.Write("edited.json", edited);
  EXPECT_EQ(WriteDebriefOfRecord(console.console, folder.Path(), "edited.json"), 1);
  EXPECT_TRUE(Contains(console.out.str(), "No debrief written"));
}

// The picture's axes start at 8 percent protein and 0 Fhb, 5 protein points
// across 454 units and 6 Fhb points up 306, so the standards box and each
// point sit where they should; past `most` points of a kind, a sample.
TEST(DebriefTest, PicturesPlaceThePointsAgainstTheStandards) {
  const std::string one = StandardsPicture("one", {{10.5, 2.5, "kept", "a line"}}, 10);
  EXPECT_TRUE(Contains(one, "<rect class=\"standards\" x=\"142.3\" y=\"64.7\" width=\"273.3\" height=\"255.3\"/>"));
  EXPECT_TRUE(Contains(one, "<circle class=\"kept\" cx=\"279.0\" cy=\"192.5\" r=\"2.6\"><title>a line</title>"));
  std::vector<PicturePoint> many(5, {11.0, 4.0, "dropped", ""});
  const std::string sampled = StandardsPicture("many", many, 2);
  EXPECT_EQ(testing::Count(sampled, "<path class=\"dropped\""), 2u);
  EXPECT_TRUE(Contains(sampled, "A sample is drawn: every 3rd dropped entry."));
  // A value beyond the axes' widest (protein 8 to 20, Fhb to 40) is drawn at
  // their edge with a mark pointing where it lies.
  const std::string beyond = StandardsPicture("claims", {{1e9, 2, "kept", ""}, {10, 1e9, "kept", ""}}, 10);
  EXPECT_TRUE(Contains(beyond, "<circle class=\"kept\" cx=\"506.0\" cy=\"304.7\""));
  EXPECT_TRUE(Contains(beyond, "<path class=\"beyond\" d=\"M513.0 304.7"));
  EXPECT_TRUE(Contains(beyond, "<path class=\"beyond\" d=\"M127.7 7.0"));
}

}  // namespace
}  // namespace plotwright
