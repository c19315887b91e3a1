#include "game/menu.h"

#include <gtest/gtest.h>

#include <map>

#include "support/scripted_player.h"

namespace plotwright {
namespace {

// The menu in a given state, with one answer typed: what it showed, and the
// task it returned (0 when it refused the answer and input then ran out).
struct Shown {
  std::string Out;
  int Task = 0;
};

Shown Menu(GameState state, const std::string& typed) {
  testing::TestConsole c(typed);
  Shown shown;
  try {
    const TaskItem& item = ShowMenuAndReadTask(c.console, state);
    shown.Task = static_cast<int>(item.Number);
    EXPECT_EQ(state.Task, item.Number);
  } catch (const FatalIoError&) {
  }
  shown.Out = c.out.str();
  return shown;
}

// The menu's items as the player must see them, each number ending in the
// sixth column; the trial items end with the trial year.
std::string Item(int task, int year) {
  const std::map<int, std::string> items = {
      {1, "     1  Select for plants homozygous for the Fhb resistance gene\n"},
      {2, "     2  Obtain genomewide predictions for each trait\n"},
      {3, "     3  Obtain homozygous lines by single-seed descent\n"},
      {4, "     4  Phenotype lines for yield and protein [Year " + std::to_string(year) + "]\n"},
      {5, "     5  Phenotype lines for Fhb resistance [Year " + std::to_string(year) + "]\n"},
      {6, "     6  Phenotype lines for all three traits [Year " + std::to_string(year) + "]\n"},
      {99, "    99  Release selected inbred as a cultivar [Line_ID needed]\n"}};
  return items.at(task);
}

// The states a game passes through, and the tasks each must offer: shown in
// this order, and accepted if and only if shown.
TEST(MenuTest, EachStateOffersExactlyItsTasks) {
  struct Case {
    const char* name;
    GameState state;
    std::vector<int> offered;
  } cases[] = {
      {"start", {}, {1, 2, 3}},
      {"plants screened", {.Screened = 1}, {2, 3}},
      {"plants predicted", {.PlantsPredicted = 1}, {1, 3}},
      {"plants screened and predicted", {.Screened = 1, .PlantsPredicted = 1}, {3}},
      {"lines made after plant predictions", {.LinesMade = 1, .PlantsPredicted = 1}, {1, 2, 4, 5, 6}},
      {"lines made and screened", {.LinesMade = 1, .Screened = 1}, {2, 4, 5, 6}},
      {"lines predicted", {.LinesMade = 1, .PlantsPredicted = 1, .LinesPredicted = 1}, {1, 4, 5, 6, 99}},
      {"one trial year", {.TrialYear = 2, .LinesMade = 1, .Phenotyped = 1}, {1, 2, 4, 5, 6, 99}},
      {"two trial years", {.TrialYear = 3, .LinesMade = 1, .Phenotyped = 1}, {1, 2, 4, 5, 6, 99}},
      {"three trial years", {.TrialYear = 4, .LinesMade = 1, .Phenotyped = 1}, {1, 2, 99}},
      {"everything done",
       {.TrialYear = 4, .LinesMade = 1, .Screened = 1, .PlantsPredicted = 1, .LinesPredicted = 1, .Phenotyped = 1},
       {99}},
  };
  for (const Case& c : cases) {
    std::string items;
    for (int task : c.offered) items += Item(task, c.state.TrialYear);
    for (int task : {1, 2, 3, 4, 5, 6, 99, 7, 0, -1}) {
      const Shown shown = Menu(c.state, std::to_string(task) + "\n");
      const bool offered = std::find(c.offered.begin(), c.offered.end(), task) != c.offered.end();
      EXPECT_EQ(shown.Task, offered ? task : 0) << c.name << ", task " << task;
      EXPECT_EQ(testing::Contains(shown.Out, "Hey, invalid choice"), !offered) << c.name << ", task " << task;
      EXPECT_EQ(shown.Out.substr(0, shown.Out.find("   \n  Task")),
                "   \n  ---------------\n   \n  Enter the number corresponding to the next task:\n   \n" + items)
          << c.name;
    }
  }
}

TEST(MenuTest, AnswersThatAreNotOfferedAskAgain) {
  const Shown shown = Menu(GameState{}, "abc\n7\n,\n\n  3 , 9\n");
  EXPECT_EQ(shown.Task, 3);
  EXPECT_EQ(shown.Out.substr(shown.Out.find("   \n  Task")),
            "   \n  Task :    \n  Task :   Hey, invalid choice ...\n   \n  Task :    \n  Task : ");
  EXPECT_EQ(Menu(GameState{},
                 "\xEF\xBB\xBF"
                 "2\n")
                .Task,
            2);                                   // a byte-order mark before the first answer
  EXPECT_EQ(Menu(GameState{}, "abc\n").Task, 0);  // end of input ends the game, not an endless prompt
}

}  // namespace
}  // namespace plotwright
