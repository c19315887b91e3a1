// The command line of plotwright.
#pragma once

#include <string>
#include <vector>

#include "driver/game.h"

namespace plotwright {

struct CommandLine {
  enum class Action { kPlay, kHelp, kVersion, kFounders, kBadUsage } Do = Action::kPlay;
  GameOptions Options;
  std::string Problem;  // what was wrong, for kBadUsage
};

// Reads the arguments after the program name: none, --seed N (0 <= N <=
// 2147483647, the game then starts from Seed = -N), --founders, --help or
// --version.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text printed by --help and, on the error stream, after a bad option.
std::string UsageText();

}  // namespace plotwright
