// plotwright: the game in the current working directory, on the console.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "driver/founders.h"
#include "driver/game.h"
#include "driver/options.h"

int main(int argc, char** argv) {
  using plotwright::CommandLine;
  const CommandLine line = plotwright::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  switch (line.Do) {
    case CommandLine::Action::kHelp:
      std::cout << plotwright::UsageText();
      return 0;
    case CommandLine::Action::kVersion:
      std::cout << "plotwright " << PLOTWRIGHT_VERSION << '\n';
      return 0;
    case CommandLine::Action::kFounders: {
      plotwright::Console console = plotwright::MakeConsole(std::cin, std::cout, std::cerr);
      return plotwright::ShowFounders(console, std::filesystem::current_path());
    }
    case CommandLine::Action::kBadUsage:
      std::cerr << "plotwright: " << line.Problem << "\n\n" << plotwright::UsageText();
      return 2;
    case CommandLine::Action::kPlay:
      break;
  }
  std::ios::sync_with_stdio(false);
  plotwright::Console console = plotwright::MakeConsole(std::cin, std::cout, std::cerr);
  return plotwright::RunGame(console, std::filesystem::current_path(), line.Options);
}
