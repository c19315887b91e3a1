// A scripted player for the tests: a temporary game folder, and a console
// whose answers may first act on the folder, as a player would before Enter.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
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

// A step that saves `content` as Results.csv, then presses Enter.
PlayerStep Saves(const std::string& content);

// A console whose input is typed in advance or played step by step in
// `folder` (ending with the steps), and whose output is kept.
struct TestConsole {
  explicit TestConsole(const std::string& typed = "");
  TestConsole(const std::filesystem::path& folder, std::vector<PlayerStep> steps);

  std::unique_ptr<std::streambuf> input;
  std::istream in;
  std::ostringstream out, err;
  Console console;
};

// A whole game played in `folder` with the given steps and seed.
struct GameRun {
  int Status = -1;
  std::string Out;
  std::string Err;
};
GameRun PlayScripted(const std::filesystem::path& folder, std::vector<PlayerStep> steps,
                     std::optional<std::int32_t> seed = std::int32_t{-1});

// Results.csv of `folder` held as a spreadsheet holds it, until released:
// on Windows by hold_file.exe, which keeps every other program from opening
// it, elsewhere by the spreadsheet's lock file. kHeldResultsCause is the
// cause the game then gives.
void HoldResults(const std::filesystem::path& folder);
void ReleaseResults(const std::filesystem::path& folder);
extern const char kHeldResultsCause[];

// Runs `what` in a child process as a user who owns nothing of the tests'
// files (nobody), and returns what it returned: the tests run as the
// administrator, whom permissions do not stop. Nothing where that cannot be
// done (not the administrator, or not Linux and macOS).
std::optional<std::string> AsAnotherUser(const std::function<std::string()>& what);

// What a player does in the spreadsheet: deletes the rows of Results.csv
// whose ID satisfies `drop`.
void DeleteResultsRows(const std::filesystem::path& folder, const std::function<bool(int id)>& drop);

// How often `what` occurs in `text`; whether `text` holds `what` or ends
// with `end`, showing both when it does not.
std::size_t Count(const std::string& text, const std::string& what);
::testing::AssertionResult Contains(const std::string& text, const std::string& what);
::testing::AssertionResult EndsWith(const std::string& text, const std::string& end);

}  // namespace plotwright::testing
