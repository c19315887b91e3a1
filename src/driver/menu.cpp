#include "driver/menu.h"

#include <string>

#include "textio/edit.h"

namespace plotwright {
namespace {

// One menu item: the condition under which it is shown (and accepted) and
// its line. Plain items are free-form lines; formatted items carry their own
// leading blanks and end with the trial year.
struct MenuItem {
  int Task;
  bool (*Offered)(const GameState&);
  const char* Text;
  bool ShowsYear;
};

bool LinesAreMade(const GameState& s) { return s.LinesMade == 1; }
bool TrialYearLeft(const GameState& s) { return s.LinesMade == 1 && s.TrialYear <= 3; }

const MenuItem kMenuItems[] = {
    {1, [](const GameState& s) { return s.Screened == 0; },
     "    1  Select for plants homozygous for the Fhb resistance gene", false},
    {2,
     [](const GameState& s) {
       return LinesAreMade(s) ? s.LinesPredicted == 0 : s.PlantsPredicted == 0;
     },
     "    2  Obtain genomewide predictions for each trait", false},
    {3, [](const GameState& s) { return s.LinesMade == 0; }, "    3  Obtain homozygous lines by single-seed descent",
     false},
    {4, TrialYearLeft, "     4  Phenotype lines for yield and protein [Year ", true},
    {5, TrialYearLeft, "     5  Phenotype lines for Fhb resistance [Year ", true},
    {6, TrialYearLeft, "     6  Phenotype lines for all three traits [Year ", true},
    {99, [](const GameState& s) { return LinesAreMade(s) && (s.LinesPredicted == 1 || s.Phenotyped == 1); },
     "   99  Release selected inbred as a cultivar [Line_ID needed]", false},
};

}  // namespace

bool TaskIsOffered(int task, const GameState& state) {
  for (const MenuItem& item : kMenuItems) {
    if (item.Task == task) return item.Offered(state);
  }
  return false;
}

void ShowMenuAndReadTask(Console& console, GameState& state) {
  PrintLine(console, "  ");
  PrintLine(console, " ---------------");
  PrintLine(console, "  ");
  PrintLine(console, " Enter the number corresponding to the next task:");
  PrintLine(console, "  ");
  for (const MenuItem& item : kMenuItems) {
    if (!item.Offered(state)) continue;
    if (item.ShowsYear) {
      PrintRecord(console, item.Text + EditI(state.TrialYear, 1) + "]");
    } else {
      PrintLine(console, item.Text);
    }
  }
  while (true) {
    PrintLine(console, "  ");
    PrintPrompt(console, "  Task : ");
    int task = 0;
    if (!ReadAnswer(console, task)) continue;
    if (TaskIsOffered(task, state)) {
      state.Task = task;
      return;
    }
    PrintRecord(console, "  Hey, invalid choice ...");
  }
}

}  // namespace plotwright
