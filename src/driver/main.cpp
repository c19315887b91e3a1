// plotwright: the game in the current working directory, on the console.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "driver/options.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  plotwright::Console console = plotwright::MakeConsole(std::cin, std::cout, std::cerr);
  return plotwright::RunCommandLine(std::vector<std::string>(argv + 1, argv + argc), console,
                                    std::filesystem::current_path());
}
