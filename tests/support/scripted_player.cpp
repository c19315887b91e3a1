#include "support/scripted_player.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>

#include "app/play.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif
#ifdef _WIN32

#include "textio/files.h"
#endif

namespace plotwright::testing {
namespace {

// Hands out one step's answer per line read, after its action on the folder.
class ScriptedInput : public std::streambuf {
 public:
  ScriptedInput(std::filesystem::path folder, std::vector<PlayerStep> steps)
      : folder_(std::move(folder)), steps_(std::move(steps)) {}

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (next_ == steps_.size()) return traits_type::eof();
    PlayerStep& step = steps_[next_++];
    if (step.BeforeAnswer) step.BeforeAnswer(folder_);
    line_ = step.Answer + "\n";
    setg(line_.data(), line_.data(), line_.data() + line_.size());
    return traits_type::to_int_type(*gptr());
  }

 private:
  std::filesystem::path folder_;
  std::vector<PlayerStep> steps_;
  std::size_t next_ = 0;
  std::string line_;
};

}  // namespace

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

PlayerStep Saves(const std::string& content) {
  return {"", [content](const std::filesystem::path& folder) {
            std::ofstream(folder / "Results.csv", std::ios::binary) << content;
          }};
}

TestConsole::TestConsole(const std::string& typed)
    : input(std::make_unique<std::stringbuf>(typed)), in(input.get()), console(MakeConsole(in, out, err)) {}

TestConsole::TestConsole(const std::filesystem::path& folder, std::vector<PlayerStep> steps)
    : input(std::make_unique<ScriptedInput>(folder, std::move(steps))),
      in(input.get()),
      console(MakeConsole(in, out, err)) {}

GameRun PlayScripted(const std::filesystem::path& folder, std::vector<PlayerStep> steps,
                     std::optional<std::int32_t> seed) {
  TestConsole player(folder, std::move(steps));
  const int status = PlayRecordedGame(player.console, folder, seed);
  return {status, player.out.str(), player.err.str()};
}

#ifdef _WIN32
const char kHeldResultsCause[] = "Another program holds RESULTS.CSV open";
static std::FILE* holder = nullptr;  // the holder's input

void HoldResults(const std::filesystem::path& folder) {
  const std::filesystem::path said = folder / "holding.txt";
  const std::wstring command = L"\"\"" + PathFromUtf8(PLOTWRIGHT_HOLD_FILE).wstring() + L"\" \"" +
                               (folder / "Results.csv").wstring() + L"\" > \"" + said.wstring() + L"\"\"";
  std::filesystem::remove(said);
  holder = _wpopen(command.c_str(), L"w");
  for (int wait = 0; wait < 3000 && TempFolder::ReadFile(said).rfind("holding ", 0) != 0; ++wait) Sleep(10);
}

// The end of its input: the holder lets go and exits.
void ReleaseResults(const std::filesystem::path&) { _pclose(holder); }
#else
const char kHeldResultsCause[] = "A spreadsheet's lock file says that RESULTS.CSV is open";
void HoldResults(const std::filesystem::path& folder) { std::ofstream(folder / ".~lock.Results.csv#"); }
void ReleaseResults(const std::filesystem::path& folder) { std::filesystem::remove(folder / ".~lock.Results.csv#"); }
#endif

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

::testing::AssertionResult Contains(const std::string& text, const std::string& what) {
  if (text.find(what) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "this text:\n" << text << "\ndoes not hold:\n" << what;
}

::testing::AssertionResult EndsWith(const std::string& text, const std::string& end) {
  if (text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "this text:\n" << text << "\ndoes not end with:\n" << end;
}

std::optional<std::string> AsAnotherUser(const std::function<std::string()>& what) {
#ifdef _WIN32
  static_cast<void>(what);
  return std::nullopt;
#else
  if (geteuid() != 0) return std::nullopt;
  int channel[2];
  if (pipe(channel) != 0) return std::nullopt;
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    const uid_t nobody = 65534;
    if (setgid(nobody) != 0 || setuid(nobody) != 0) _exit(2);  // a container may not allow it
    const std::string said = what();
    const bool sent = write(channel[1], said.data(), said.size()) == static_cast<ssize_t>(said.size());
    _exit(sent ? 0 : 1);
  }
  close(channel[1]);
  std::string said;
  char buffer[4096];
  for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;)
    said.append(buffer, static_cast<std::size_t>(got));
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 2) return std::nullopt;
  return said;
#endif
}

}  // namespace plotwright::testing
