// The console dialogue: free-form lines, formatted records, prompts that
// leave the cursor after their text, waits for the Enter key, and the fatal
// diagnostic that ends the program when input runs out.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "textio/files.h"
#include "textio/free_form.h"

namespace plotwright {

// The unit numbers fatal diagnostics give the console's input and output.
inline constexpr int kConsoleUnit = 5;
inline constexpr int kScreenUnit = 6;

// Hears everything a game shows and is told: the text it prints, each line
// the player types (as a LineListener), and each use of a game file. The
// game's record listens; a replay also answers for the files, so that a
// file the player held open once is held open again.
class ConsoleWatch : public LineListener {
 public:
  // Text as printed, line ends included; a prompt comes without one.
  virtual void Printed(std::string_view text) = 0;
  // Each hears what the file system said and returns what the game goes on
  // with; Read may also change the content read.
  virtual bool Exists(std::string_view name, bool found) = 0;
  virtual FileProblem Read(std::string_view name, FileProblem problem, std::string& content) = 0;
  virtual FileProblem Written(std::string_view name, FileProblem problem, std::string_view content) = 0;

 protected:
  ~ConsoleWatch() = default;
};

struct Console {
  std::istream& In;
  std::ostream& Out;
  std::ostream& Err;
  LineReader Input{&In};
  ConsoleWatch* Watch = nullptr;
};

Console MakeConsole(std::istream& in, std::ostream& out, std::ostream& err);

// Lets `watch` hear the console from now on (nullptr: no one).
void WatchConsole(Console& console, ConsoleWatch* watch);

// A free-form line: one blank, then the text exactly as given.
void PrintLine(Console& console, std::string_view text);

// Free-form lines, one after another.
void PrintLines(Console& console, const std::vector<std::string>& lines);

// A formatted record, ended by a line break.
void PrintRecord(Console& console, std::string_view record);

// A formatted record left open, so the answer is typed on the same line; the
// next output of any kind continues this record.
void PrintPrompt(Console& console, std::string_view record);

// Writes out what has been printed so far. Every print and every flush
// that fails throws a FatalIoError ("cannot write, unit 6, file stdout").
void FlushConsole(Console& console);

// Reads and discards one console line. End of input is fatal.
void WaitForEnter(Console& console);

// Reads one whole number typed at a prompt. Returns false when the answer is
// not a whole number or is null (a comma, a slash), so the caller asks again.
// An empty line does not answer: the read goes on with the next line. End of
// input is fatal.
bool ReadAnswer(Console& console, int& value);

// The game folder's files as the game uses them: FileExists, ReadTextFile
// and WriteWholeFile, heard by the console's watch.
bool GameFileExists(Console& console, const std::filesystem::path& folder, std::string_view name);
FileProblem ReadGameFile(Console& console, const std::filesystem::path& folder, std::string_view name,
                         std::string& content);
FileProblem WriteGameFile(Console& console, const std::filesystem::path& folder, std::string_view name,
                          std::string_view content);

// A read or write failure that ends the program at once. The game's top
// level catches it, prints `Diagnostic` as one line on the error stream and
// exits with status 2; nothing is written after it.
struct FatalIoError {
  std::string Diagnostic;
};

// Throws the FatalIoError of console input that has run out: "end-of-file
// during read, unit 5, file stdin".
[[noreturn]] void FailEndOfInput();

}  // namespace plotwright
