// The debrief as one self-contained page: inline styles and inline SVG
// pictures, each with a table that says the same in words, so it opens
// offline in any browser, prints, and reads without the pictures.
#pragma once

#include <string>

#include "record/game_record.h"
#include "reports/debrief.h"

namespace plotwright {

// The debrief page of a game, from its record and the facts gathered.
std::string DebriefHtml(const GameRecord& record, const DebriefFacts& facts);

}  // namespace plotwright
