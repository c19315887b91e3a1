// The crosses file: the player's choice of founder pairs and of the number of
// F2 plants to grow from each, one cross per line ("1,4,300").
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "genetics/f2_population.h"
#include "textio/console.h"

namespace plotwright {

// The crosses file in the game folder.
inline constexpr const char* kCrossesFile = "Crosses.csv";

// Crosses.csv as read: every line that starts with three whole numbers, in
// file order, and the first line that holds values but does not.
struct CrossesFile {
  CrossTable Crosses;
  std::vector<int> LineOfCross;  // the file line of each cross
  int FirstMalformedLine = 0;    // 0 when there is none
  std::string TooLarge;          // that line's number too large for the game, if that is its fault
  bool Unicode = false;          // saved as UTF-16 text: nothing could be read
};

// Reads the text of Crosses.csv. Lines that hold no value at all are skipped;
// anything after a line's third value is ignored; a number may be quoted.
CrossesFile ReadCrosses(std::string_view text);

// What makes the crosses unusable for a game: the first problem in this
// order: a file saved as UTF-16; a cross above 2000 plants; a pair of
// parents repeated in either order; the first line in the file that does not
// start with three whole numbers, names a founder outside 1 to 15 or asks
// for a negative number of plants; no plant at all.
struct CrossesProblem {
  enum class Kind {
    kNone,
    kUnicode,
    kTooManyPlants,
    kDuplicate,
    kUnknownFounder,
    kNegativePlants,
    kMalformed,
    kNoPlants
  };
  Kind What = Kind::kNone;
  int Line = 0;          // the file line at fault, for the problems of one line
  int Value = 0;         // the founder named, or the plants asked for
  std::string TooLarge;  // kMalformed: the line's number too large for the game, if that is its fault
  explicit operator bool() const { return What != Kind::kNone; }
};

CrossesProblem ValidateCrosses(const CrossesFile& file);

// What the player is told of a problem, in the game's words, one console
// line each ("ERROR:", the problem, what to do).
std::vector<std::string> CrossesProblemLines(const CrossesProblem& problem);

// Checks Crosses.csv in `folder` as a game does before it makes its first
// cross, and says what is wrong in the game's own words, or how many crosses
// and plants it asks for. Returns kExitNormal when a game can use it,
// otherwise kExitFailed (a missing or unreadable file too). The web page checks its crosses with it.
int CheckCrossesFile(Console& console, const std::filesystem::path& folder);

// The number of F2 plants the crosses ask for (sizes below 0 count as 0).
int CountEntries(const CrossTable& crosses);

}  // namespace plotwright
