// The command line of plotwright.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exit_status.h"
#include "textio/console.h"

namespace plotwright {

struct CommandLine {
  enum class Action {
    kPlay,
    kResume,
    kHelp,
    kVersion,
    kFounders,
    kCheckCrosses,
    kReplay,
    kDebrief,
    kClass,
    kBadUsage
  } Do = Action::kPlay;
  std::optional<std::int32_t> Seed;  // replaces the clock seed
  std::string Record;                // the record to replay or debrief, or the class's folder
  std::string Problem;               // what was wrong, for kBadUsage
};

// Reads the arguments after the program name: none, --seed N (0 <= N <=
// 2147483647, the game then starts from Seed = -N), --resume, --founders,
// --check-crosses, --replay RECORD, --debrief RECORD, --class FOLDER, --help
// or --version.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// An argument as Windows hands it to a program, UTF-16, in the UTF-8 the
// options take: every letter kept, the pairs of surrogates that make one
// letter beyond the first 65536 joined. Nothing when the text holds half of
// such a pair alone, which no UTF-8 can carry (a file name may).
std::optional<std::string> Utf8FromUtf16(std::u16string_view text);

// The usage text printed by --help and, on the error stream, after a bad option.
std::string UsageText();

// Does what the arguments after the program name ask, in the game folder
// `folder`: plays a game, or shows the founders, checks Crosses.csv, replays
// a recorded game, or shows the usage or the version.
// Returns the exit status; a bad option gets the usage on the error stream
// and kExitBadUsage.
int RunCommandLine(const std::vector<std::string>& arguments, Console& console, const std::filesystem::path& folder);

}  // namespace plotwright
