// A scripted player for the tests: a temporary game folder, and a console
// whose input is a list of answers, each of which may first act on the folder
// (write Crosses.csv, edit Results.csv, hold a lock file) the way a player at
// the keyboard would before pressing Enter.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "textio/console.h"

namespace plotwright::testing {

// A folder under the system's temporary directory, removed with its contents.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  void Write(const std::string& name, const std::string& content) const;
  std::string Read(const std::string& name) const;
  static std::string ReadFile(const std::filesystem::path& path);

 private:
  std::filesystem::path path_;
};

struct PlayerStep {
  std::string Answer;  // the line typed, without its line end
  std::function<void(const std::filesystem::path&)> BeforeAnswer = nullptr;
};

// Steps that just type a text (or press Enter).
std::vector<PlayerStep> Answers(const std::vector<std::string>& lines);

// The player saves `content` as Results.csv, then presses Enter.
PlayerStep Saves(const std::string& content);

// An input stream buffer that hands out one scripted answer per line read
// and reports end of input once the script is used up.
class ScriptedInput : public std::streambuf {
 public:
  ScriptedInput(std::filesystem::path folder, std::vector<PlayerStep> steps);
  int AnswersGiven() const { return next_; }

 protected:
  int_type underflow() override;

 private:
  std::filesystem::path folder_;
  std::vector<PlayerStep> steps_;
  int next_ = 0;
  std::string line_;
};

// A console for one test: its input typed in advance or played by a script,
// its output kept for the test to read.
struct TestConsole {
  explicit TestConsole(const std::string& typed = "");
  TestConsole(const std::filesystem::path& folder, std::vector<PlayerStep> steps);

  std::unique_ptr<ScriptedInput> script;
  std::stringbuf typedIn;
  std::istream in;
  std::ostringstream out, err;
  Console console;
};

struct GameRun {
  int Status = -1;
  std::string Out;
  std::string Err;
  int AnswersGiven = 0;
};

// Plays a whole game in `folder` with the given answers and seed.
GameRun PlayScripted(const std::filesystem::path& folder, std::vector<PlayerStep> steps,
                     std::optional<std::int32_t> seed = std::int32_t{-1});

// What a player does in the spreadsheet: deletes the data rows of
// Results.csv whose ID satisfies `drop`, leaving every other line as it is.
void DeleteResultsRows(const std::filesystem::path& folder, const std::function<bool(int id)>& drop);

// How often `what` occurs in `text`.
std::size_t Count(const std::string& text, const std::string& what);

// Whether `text` ends with `end`.
bool EndsWith(const std::string& text, const std::string& end);

}  // namespace plotwright::testing
