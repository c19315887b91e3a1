// What every benchmark works on: the genetic world built into the game, and
// the crosses of the largest game the rules allow.
#pragma once

#include <cstdint>
#include <memory>

#include "driver/population.h"
#include "textio/console.h"

namespace plotwright::bench {

// The reference tables built into the program, with their QTL effects.
std::unique_ptr<ReferenceTables> BuiltInWorld();

// Every cross the rules allow, each of `plantsPerCross` plants: the 105 pairs
// of different founders and the 15 founders crossed with themselves.
CrossTable AllCrosses(int plantsPerCross);

// A console that reads nothing and discards what it is given.
Console& QuietConsole();

// Peak resident memory of this process so far, in megabytes.
double PeakMegabytes();

}  // namespace plotwright::bench
