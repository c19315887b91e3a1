// Tasks 4, 5 and 6: one year of field trials of the kept lines, for yield and
// protein, for Fhb, or for all three traits. Each asks for the numbers of
// locations, charges for them, simulates every line, appends the year's
// columns to the line table and reads the player's selection back.
#pragma once

#include <array>
#include <filesystem>

#include "driver/population.h"
#include "textio/console.h"

namespace plotwright {

// Runs the trial of state.Task (4 yield and protein, 5 Fhb, 6 all three) for
// year state.TrialYear. The caller advances the year afterwards.
void RunTrialTask(Console& console, const std::filesystem::path& folder, Population& population,
                  LineTableColumns& columns, GameState& state, const std::array<double, kTraits>& ErrorVariance);

}  // namespace plotwright
