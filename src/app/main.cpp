// plotwright: the game in the current working directory, on the console.
#include <csignal>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/options.h"

int main(int argc, char** argv) {
#ifdef SIGXFSZ
  // A file-size limit then makes a write fail, which the game reports and
  // retries, instead of killing the game halfway through Results.csv.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  std::ios::sync_with_stdio(false);
  plotwright::Console console = plotwright::MakeConsole(std::cin, std::cout, std::cerr);
  // The game folder is the current one, taken by its own characters (wide
  // on Windows), so that a folder named in any letters works.
  return plotwright::RunCommandLine(std::vector<std::string>(argv + 1, argv + argc), console,
                                    std::filesystem::current_path());
}
