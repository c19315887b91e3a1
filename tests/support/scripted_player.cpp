#include "support/scripted_player.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>

#include "driver/game.h"

namespace plotwright::testing {

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("plotwright-test-" + std::to_string(std::random_device{}()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

void TempFolder::Write(const std::string& name, const std::string& content) const {
  std::ofstream(path_ / name, std::ios::binary) << content;
}

std::string TempFolder::Read(const std::string& name) const { return ReadFile(path_ / name); }

std::string TempFolder::ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<PlayerStep> Answers(const std::vector<std::string>& lines) {
  std::vector<PlayerStep> steps;
  for (const std::string& line : lines) steps.push_back({line});
  return steps;
}

PlayerStep Saves(const std::string& content) {
  return {"", [content](const std::filesystem::path& folder) {
            std::ofstream(folder / "Results.csv", std::ios::binary) << content;
          }};
}

ScriptedInput::ScriptedInput(std::filesystem::path folder, std::vector<PlayerStep> steps)
    : folder_(std::move(folder)), steps_(std::move(steps)) {}

ScriptedInput::int_type ScriptedInput::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (next_ == static_cast<int>(steps_.size())) return traits_type::eof();
  PlayerStep& step = steps_[static_cast<std::size_t>(next_++)];
  if (step.BeforeAnswer) step.BeforeAnswer(folder_);
  line_ = step.Answer + "\n";
  setg(line_.data(), line_.data(), line_.data() + line_.size());
  return traits_type::to_int_type(*gptr());
}

TestConsole::TestConsole(const std::string& typed)
    : typedIn(typed), in(&typedIn), console(MakeConsole(in, out, err)) {}

TestConsole::TestConsole(const std::filesystem::path& folder, std::vector<PlayerStep> steps)
    : script(std::make_unique<ScriptedInput>(folder, std::move(steps))),
      in(script.get()),
      console(MakeConsole(in, out, err)) {}

GameRun PlayScripted(const std::filesystem::path& folder, std::vector<PlayerStep> steps,
                     std::optional<std::int32_t> seed) {
  TestConsole player(folder, std::move(steps));
  GameRun run;
  run.Status = RunGame(player.console, folder, GameOptions{seed});
  run.Out = player.out.str();
  run.Err = player.err.str();
  run.AnswersGiven = player.script->AnswersGiven();
  return run;
}

void DeleteResultsRows(const std::filesystem::path& folder, const std::function<bool(int id)>& drop) {
  std::ifstream in(folder / "Results.csv");
  std::string kept;
  for (std::string line; std::getline(in, line);) {
    int id = 0;
    std::istringstream fields(line);
    if (!(fields >> id) || !drop(id)) kept += line + "\n";
  }
  in.close();
  std::ofstream(folder / "Results.csv") << kept;
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace plotwright::testing
