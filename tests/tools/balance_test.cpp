// The balance study's players: how they read and prune Results.csv, the
// programmes they follow, the survey of crosses, and games copied at a
// selection, which must end as the same games played apart.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "balance/cross_survey.h"
#include "balance/games.h"
#include "balance/players.h"
#include "balance/results_table.h"
#include "game/founders.h"
#include "game/reference_data.h"
#include "genetics/trait_model.h"
#include "support/scripted_player.h"

namespace plotwright::balance {
namespace {

// The built-in genetic world, as the study loads it.
struct BuiltInWorld {
  std::unique_ptr<ReferenceTables> Reference = std::make_unique<ReferenceTables>();
  Founders Profiles{};
  BuiltInWorld() {
    std::istringstream in;
    std::ostringstream out;
    Console console = MakeConsole(in, out, out);
    const testing::TempFolder empty;
    EXPECT_FALSE(LoadLocusTableAndFounders(console, empty.Path(), *Reference));
    BuildQtlEffects(Reference->LocusTable, Reference->QtlEffects);
    Profiles = DescribeFounders(*Reference);
  }
};

const BuiltInWorld& World() {
  static const BuiltInWorld world;
  return world;
}

TEST(BalanceResultsTest, LineTableEstimatesWeighTrialsByLocationsAndPredictionsAsFour) {
  const ResultsTable table = ParseResults(
      "--          ,--          ,[N_Locs=>]  ,  0,  0,  0,  2,  4\n"
      "--          ,--          ,[LSD(10%)=>],    0.00,    0.00,    0.00,    0.50,    2.00\n"
      "Line_ID     ,Parent_1    ,Parent_2    ,Yield_Pred  ,Protein_Pred,Fhb_Pred    ,Protein_Y1  ,Fhb_Y1      \n"
      "     3, 1, 4,       95.00,       10.00,        7.00,       13.00,        1.00\n"
      "     5, 1, 4,       90.00,       11.00,        4.00,       11.00,        4.00\n"
      "     9, 1, 4,       99.00,       10.50,        2.00,       10.50,        2.50\n");
  ASSERT_EQ(table.Header.size(), 3u);
  ASSERT_EQ(table.Rows.size(), 3u);
  EXPECT_EQ(table.Locations, (std::vector<int>{0, 0, 0, 2, 4}));
  EXPECT_EQ(table.Column("Fhb_Y1"), 4);

  // Protein of line 3: (4 x 10 + 2 x 13) / 6; Fhb: (4 x 7 + 4 x 1) / 8.
  const std::array<double, 3> estimate = Estimate(table, table.Rows[0]);
  EXPECT_DOUBLE_EQ(estimate[kYield], 95.0);
  EXPECT_DOUBLE_EQ(estimate[kProtein], 11.0);
  EXPECT_DOUBLE_EQ(estimate[kFhb], 4.0);

  // Line 9 is safest (Fhb 2.25), line 3 next (protein 11 close to 12), line 5
  // last (Fhb 4); the rows kept stay in Id order.
  const std::vector<ResultsRow> best = Best(table, 2);
  ASSERT_EQ(best.size(), 2u);
  EXPECT_EQ(best[0].Id, 3);
  EXPECT_EQ(best[1].Id, 9);
  EXPECT_EQ(BestId(table), 9);
  EXPECT_EQ(Best(table, 10).size(), 3u);

  // A table without rows releases line 1 rather than failing.
  const ResultsTable plants =
      ParseResults("Plant_ID    ,Parent_1    ,Parent_2    ,Yield_Pred  ,Protein_Pred,Fhb_Pred\n");
  EXPECT_EQ(plants.Header.size(), 1u);
  EXPECT_EQ(plants.Locations, (std::vector<int>{0, 0, 0}));
  EXPECT_TRUE(plants.Rows.empty());
  EXPECT_EQ(BestId(plants), 1);
}

TEST(BalanceIntervalsTest, WilsonAndNewcombeIntervals) {
  const auto [low, high] = WilsonInterval(383, 500);
  EXPECT_NEAR(low, 0.7272, 5e-4);
  EXPECT_NEAR(high, 0.8013, 5e-4);
  const auto [none, few] = WilsonInterval(0, 100);
  EXPECT_NEAR(none, 0.0, 1e-12);
  EXPECT_NEAR(few, 0.0370, 5e-4);

  const auto [lead, most] = DifferenceInterval(383, 500, 300, 500);
  EXPECT_NEAR(lead, 0.109, 1e-3);
  EXPECT_NEAR(most, 0.222, 1e-3);
  const auto [below, above] = DifferenceInterval(250, 500, 250, 500);
  EXPECT_NEAR(below, -above, 1e-12);
}

// The tasks a player chooses at successive menus.
std::vector<int> Tasks(Player& player, int count) {
  std::vector<int> tasks;
  for (int i = 0; i < count; ++i) tasks.push_back(player.NextTask());
  return tasks;
}

std::unique_ptr<Player> ReadyPlayer(const Programme& programme) {
  std::unique_ptr<Player> player = MakeProgrammePlayer(World().Profiles, programme);
  SplitMix64 rng{1};
  player->Crosses(rng);
  player->Reset(rng);
  return player;
}

TEST(BalanceProgrammesTest, EachVariantLeavesOutOnlyItsTool) {
  EXPECT_EQ(Tasks(*ReadyPlayer(InformedProgramme()), 9), (std::vector<int>{1, 2, 3, 2, 6, 6, 6, 99, 99}));
  EXPECT_EQ(Tasks(*ReadyPlayer(NoScreeningProgramme()), 8), (std::vector<int>{2, 3, 2, 6, 6, 6, 99, 99}));
  EXPECT_EQ(Tasks(*ReadyPlayer(NoPredictionsProgramme()), 6), (std::vector<int>{1, 3, 6, 6, 6, 99}));
  EXPECT_EQ(Tasks(*ReadyPlayer(OneYearProgramme()), 6), (std::vector<int>{1, 2, 3, 2, 6, 99}));
  EXPECT_EQ(Tasks(*ReadyPlayer(TrialsProgramme()), 5), (std::vector<int>{3, 6, 6, 6, 99}));

  // The informed player turned into the one-year programme after year 1
  // releases next.
  std::unique_ptr<Player> informed = MakeInformedPlayerWithOneYearBranch(World().Profiles);
  SplitMix64 rng{1};
  informed->Crosses(rng);
  informed->Reset(rng);
  EXPECT_EQ(Tasks(*informed, 5), (std::vector<int>{1, 2, 3, 2, 6}));
  EXPECT_EQ(informed->BranchSelection(), 3);
  informed->TakeBranch();
  EXPECT_STREQ(informed->Name(), "informed-one-year");
  EXPECT_EQ(informed->NextTask(), 99);
}

TEST(BalanceProgrammesTest, WithoutPredictionsYearOneSpendsWhatTheLaterYearsLeave) {
  // After the lines of 1200 plants: 231900 dollars, of which the later years
  // need 130 lines at 12 and 4 locations (68120); 136 dollars a line leave
  // four Fhb locations and two for yield and protein.
  std::unique_ptr<Player> many = ReadyPlayer(NoPredictionsProgramme());
  many->Read("  Number of F2 plants kept =   1200\n          --->>> Remaining balance: $      231900.\n");
  EXPECT_EQ(many->YieldProteinLocations(), 2);
  EXPECT_EQ(many->FhbLocations(), 4);
  many->TrialRefused();
  EXPECT_EQ(many->YieldProteinLocations(), 1);

  // A quarter of the plants kept can afford the most locations.
  std::unique_ptr<Player> few = ReadyPlayer(NoPredictionsProgramme());
  few->Read("  Number of F2 plants kept =    300\n          --->>> Remaining balance: $      245000.\n");
  EXPECT_EQ(few->YieldProteinLocations(), 12);
}

TEST(BalanceSurveyTest, EveryCrossIsJudgedAndTheBestInTruthComesFirst) {
  const std::vector<CrossOutlook> outlooks = SurveyCrosses(*World().Reference, World().Profiles, 40, 2);
  ASSERT_EQ(outlooks.size(), 105u);
  std::set<std::pair<int, int>> crosses;
  std::set<int> ranks;
  for (std::size_t i = 0; i < outlooks.size(); ++i) {
    const CrossOutlook& o = outlooks[i];
    crosses.insert({o.First, o.Second});
    ranks.insert(o.StudentRank);
    EXPECT_LT(o.First, o.Second);
    if (i > 0) {
      EXPECT_GE(outlooks[i - 1].TrueShare, o.TrueShare);
    }
    const bool first = World().Profiles[static_cast<std::size_t>(o.First - 1)].Resistant;
    const bool second = World().Profiles[static_cast<std::size_t>(o.Second - 1)].Resistant;
    if (!first && !second) {
      // The screening keeps no plant of such a cross.
      EXPECT_EQ(o.StudentChance, 0.0);
      EXPECT_EQ(o.SurveyedLines, 0);
      EXPECT_EQ(o.TrueShare, 0.0);
    } else if (first && second) {
      EXPECT_EQ(o.ScreenedShare, 1.0);
      EXPECT_EQ(o.SurveyedLines, 40);
    } else {
      EXPECT_GT(o.ScreenedShare, 0.1);
      EXPECT_LT(o.ScreenedShare, 0.4);
    }
  }
  EXPECT_EQ(crosses.size(), 105u);
  EXPECT_EQ(ranks.size(), 105u);
  EXPECT_EQ(*ranks.begin(), 1);
  EXPECT_EQ(*ranks.rbegin(), 105);
  EXPECT_GT(outlooks.front().TrueShare, 0.0);

  // The survey is the same whatever the number of threads.
  const std::vector<CrossOutlook> alone = SurveyCrosses(*World().Reference, World().Profiles, 40, 1);
  for (std::size_t i = 0; i < outlooks.size(); ++i) {
    EXPECT_EQ(alone[i].First, outlooks[i].First);
    EXPECT_EQ(alone[i].Second, outlooks[i].Second);
    EXPECT_EQ(alone[i].TrueShare, outlooks[i].TrueShare);
  }
}

bool SameTally(const Tally& a, const Tally& b) {
  return a.Games == b.Games && a.Wins == b.Wins && a.Failures == b.Failures;
}

TEST(BalanceGamesTest, ACopiedGameEndsAsTheSameGamePlayedApart) {
  if (!CanCopyGames()) GTEST_SKIP() << "games cannot be copied on this system";
  // The best cross of the built-in world, where both programmes win often
  // enough for a difference between them to show.
  const Cross cross{1, 4, 1000};
  const auto both = PlayAll([&] { return MakeShortcutPlayer(cross, 0, 50); }, {}, 1, 6, 2, false, true);
  const auto shortcut = PlayAll([&] { return MakeShortcutPlayer(cross, 0); }, {}, 1, 6, 1, false);
  const auto withYear = PlayAll([&] { return MakeShortcutPlayer(cross, 50); }, {}, 1, 6, 1, false);
  EXPECT_TRUE(SameTally(both.Main, shortcut.Main));
  EXPECT_TRUE(SameTally(both.Branch, withYear.Main));
  EXPECT_EQ(both.Branch.Games, 6);
  EXPECT_EQ(both.Main.Failures + both.Branch.Failures, 0);
}

}  // namespace
}  // namespace plotwright::balance
