// plotwright: the game in the current working directory, on the console.
#include <csignal>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/options.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX  // the standard library's min and max, not windows.h's macros
#endif
#include <windows.h>

#include <string_view>
#endif

namespace {

// Plays or does what the arguments (UTF-8) ask; `unreadable` names an
// argument the system could not give as text, which ends the run at once.
int Run(const std::vector<std::string>& arguments, const std::string& unreadable = "") {
#ifdef SIGXFSZ
  // A file-size limit then makes a write fail, which the game reports and
  // retries, instead of killing the game halfway through Results.csv.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  std::ios::sync_with_stdio(false);
  plotwright::Console console = plotwright::MakeConsole(std::cin, std::cout, std::cerr);
  if (!unreadable.empty()) {
    console.Err << "plotwright: " << unreadable << " holds half of a UTF-16 letter, which is no text\n\n"
                << plotwright::UsageText();
    return plotwright::kExitBadUsage;
  }
  // The game folder is the current one, taken by its own characters (wide
  // on Windows), so that a folder named in any letters works.
  return plotwright::RunCommandLine(arguments, console, std::filesystem::current_path());
}

#ifdef _WIN32
// The console shows the game's UTF-8 text as letters ("Jürgen", not
// "JÃ¼rgen") while the game runs, and gets its own code pages back after,
// for whatever the window runs next. Without a console (output to a file or
// a pipe) the calls fail and change nothing.
class Utf8Console {
 public:
  Utf8Console() : output_(GetConsoleOutputCP()), input_(GetConsoleCP()) {
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
  }
  ~Utf8Console() {
    if (output_ != 0) SetConsoleOutputCP(output_);
    if (input_ != 0) SetConsoleCP(input_);
  }
  Utf8Console(const Utf8Console&) = delete;
  Utf8Console& operator=(const Utf8Console&) = delete;

 private:
  UINT output_;
  UINT input_;
};
#endif

}  // namespace

#ifdef _WIN32
// Windows gives the command line as UTF-16 here, every letter intact; main's
// narrow arguments would come in the system's code page, which has no room
// for most letters of the world ("Sammlung – 7b", "班").
int wmain(int argc, wchar_t** argv) {
  const Utf8Console utf8Console;
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    const std::wstring_view wide(argv[i]);
    std::optional<std::string> text = plotwright::Utf8FromUtf16(std::u16string(wide.begin(), wide.end()));
    if (!text) return Run({}, "argument " + std::to_string(i));
    arguments.push_back(std::move(*text));
  }
  return Run(arguments);
}
#else
int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
