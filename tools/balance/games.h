// Whole games played by a scripted player through the game itself, and the
// tally of how many of them released a line that meets both standards.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "balance/players.h"

namespace plotwright::balance {

struct Tally {
  int Games = 0;
  int Wins = 0;
  int Failures = 0;  // games that ended without a release
};

// Wilson's 95 percent interval for a proportion of `wins` in `games`.
std::pair<double, double> WilsonInterval(int wins, int games);

// Newcombe's 95 percent interval for the difference of two independent
// proportions, built from their Wilson intervals.
std::pair<double, double> DifferenceInterval(int winsA, int gamesA, int winsB, int gamesB);

// The tallies of a player and of its second programme, if it has one.
struct Tallies {
  Tally Main;
  Tally Branch;
};

// Whether a running game can be copied here (a POSIX fork), so that a
// player's second programme is played on from the copy: the games of both
// programmes are then the same games they would be when played apart, and
// the work before the branch is done once.
bool CanCopyGames();

// Plays one game from --seed `seedNumber` in `folder`; returns its
// transcript when asked to keep it. With `branch` (only where games can be
// copied, and without a transcript) the game is copied at the player's
// branch selection and the copy's outcome is counted in `branch`.
std::string PlayOne(Player& player, const std::filesystem::path& folder, std::int32_t seedNumber, bool transcript,
                    Tally& tally, Tally* branch = nullptr);

// Games `firstSeed` .. `firstSeed` + `games` - 1 of the players `makePlayer`
// makes, shared out among `jobs` threads, each with a player and a game folder
// of its own holding the reference files of `data` (none: the built-in ones).
// Game n is played from --seed n whichever thread plays it, so the tallies and
// the transcripts (written to stderr in seed order) do not depend on `jobs`.
// With `branches`, every game's copy is played on by the second programme.
Tallies PlayAll(const std::function<std::unique_ptr<Player>()>& makePlayer, const std::filesystem::path& data,
                int firstSeed, int games, int jobs, bool transcripts, bool branches = false);

}  // namespace plotwright::balance
