// A scripted player for whole-game tests: a temporary game folder, and a
// console whose input is a list of answers, each of which may first act on
// the folder (write Crosses.csv, edit Results.csv, hold a lock file) the way
// a player at the keyboard would before pressing Enter.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <streambuf>
#include <string>
#include <vector>

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

// Steps that just press Enter or type a text.
std::vector<PlayerStep> Answers(const std::vector<std::string>& lines);

}  // namespace plotwright::testing
