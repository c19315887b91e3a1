#include "game/menu.h"

#include <string>

#include "textio/edit.h"

namespace plotwright {

const TaskItem& ShowMenuAndReadTask(Console& console, GameState& state) {
  PrintLine(console, "  ");
  PrintLine(console, " ---------------");
  PrintLine(console, "  ");
  PrintLine(console, " Enter the number corresponding to the next task:");
  PrintLine(console, "  ");
  // Plain lines get one blank before their text; a trial's line carries its
  // own, so that every task number ends in the sixth column.
  for (const TaskItem& item : TaskTable()) {
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
    int typed = 0;
    if (!ReadAnswer(console, typed)) continue;
    for (const TaskItem& item : TaskTable()) {
      if (static_cast<int>(item.Number) == typed && item.Offered(state)) {
        state.Task = item.Number;
        return item;
      }
    }
    PrintRecord(console, "  Hey, invalid choice ...");
  }
}

}  // namespace plotwright
