#include "driver/menu.h"

#include <gtest/gtest.h>

#include <sstream>

namespace plotwright {
namespace {

std::string Menu(GameState state, const std::string& typed, int& task) {
  std::istringstream in(typed);
  std::ostringstream out, err;
  Console console = MakeConsole(in, out, err);
  try {
    ShowMenuAndReadTask(console, state);
    task = state.Task;
  } catch (const FatalIoError&) {
    task = -1;  // input ran out before an offered task was typed
  }
  return out.str();
}

TEST(MenuTest, ShowsAndAcceptsTheSameTasksInEveryState) {
  // Every combination of the flags and trial years; an item is accepted if
  // and only if it is shown.
  for (int bits = 0; bits < 32; ++bits) {
    for (int year = 1; year <= 4; ++year) {
      GameState state;
      state.LinesMade = bits & 1;
      state.Screened = (bits >> 1) & 1;
      state.PlantsPredicted = (bits >> 2) & 1;
      state.LinesPredicted = (bits >> 3) & 1;
      state.Phenotyped = (bits >> 4) & 1;
      state.TrialYear = year;
      for (int task : {1, 2, 3, 4, 5, 6, 99}) {
        int chosen = 0;
        std::string out = Menu(state, std::to_string(task) + "\n", chosen);
        const bool accepted = out.find("Hey, invalid choice") == std::string::npos;
        EXPECT_EQ(accepted, TaskIsOffered(task, state));
        if (accepted) {
          EXPECT_EQ(chosen, task);
        }
        // Every item number ends in the sixth column.
        const std::string item = (task == 99 ? "    " : "     ") + std::to_string(task) + "  ";
        EXPECT_EQ(out.find("\n" + item) != std::string::npos, TaskIsOffered(task, state)) << out;
      }
    }
  }
}

TEST(MenuTest, StartOfGameTranscript) {
  int task = 0;
  std::string out = Menu(GameState{}, "abc\n7\n,\n\n  3 , 9\n", task);
  EXPECT_EQ(task, 3);
  EXPECT_EQ(out,
            "   \n  ---------------\n   \n  Enter the number corresponding to the next task:\n   \n"
            "     1  Select for plants homozygous for the Fhb resistance gene\n"
            "     2  Obtain genomewide predictions for each trait\n"
            "     3  Obtain homozygous lines by single-seed descent\n"
            "   \n  Task :    \n  Task :   Hey, invalid choice ...\n   \n  Task :    \n  Task : ");
}

TEST(MenuTest, EndOfInputIsFatalNotALoop) {
  int task = 0;
  Menu(GameState{}, "abc\n", task);
  EXPECT_EQ(task, -1);
}

}  // namespace
}  // namespace plotwright
