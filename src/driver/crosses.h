// The crosses file: the player's choice of founder pairs and of the number of
// F2 plants to grow from each, one cross per line ("1,4,300").
#pragma once

#include <string_view>
#include <vector>

#include "driver/population.h"
#include "textio/console.h"

namespace plotwright {

// Reads the crosses from the text of Crosses.csv into `crosses`, one per
// line, skipping lines that hold no value at all; `lineOfCross` receives the
// file line of each cross. A line that does not start with three whole
// numbers is reported on the console and the result is false.
bool LoadCrosses(Console& console, std::string_view text, CrossTable& crosses, std::vector<int>& lineOfCross);

// Checks the crosses in this order, reporting only the first problem: a
// cross above 2000 plants, a pair of parents repeated in either order, a
// founder outside 1 to 15, a negative size, and no plant at all. Sets
// `unusable` to 1 when the game cannot go on.
void ValidateCrosses(Console& console, const CrossTable& crosses, const std::vector<int>& lineOfCross, int& unusable);

// The number of F2 plants the crosses ask for (sizes below 0 count as 0).
int CountEntries(const CrossTable& crosses);

}  // namespace plotwright
