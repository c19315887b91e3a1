// How a run of plotwright ends, as the exit status a script or a teacher's
// command line sees. Every status the program returns is one of these names.
#pragma once

namespace plotwright {

// A game played to its end; a command that did what it was asked.
inline constexpr int kExitNormal = 0;
// The tables of a game did not fit in memory ("Allocation error, ...").
inline constexpr int kExitNoMemory = 1;
// A command that could not do what it was asked: Crosses.csv or a reference
// file a game could not use, a record that cannot be read or does not replay
// identically, a debrief or class summary that could not be written.
inline constexpr int kExitFailed = 1;
// The console could not be read or written ("end-of-file during read, unit 5,
// file stdin"): the program stopped at once.
inline constexpr int kExitFatalIo = 2;
// An option the program does not know, or one without its value: the usage
// is shown on the error stream.
inline constexpr int kExitBadUsage = 2;

// Another game is running in the game folder: nothing was changed.
inline constexpr int kExitFolderBusy = 3;
// The game may not write in its folder: nothing was played.
inline constexpr int kExitFolderNotWritable = 4;

}  // namespace plotwright
