#include "app/options.h"

#include <ostream>

#include "app/play.h"
#include "game/crosses.h"
#include "game/founders.h"
#include "record/replay.h"
#include "reports/class_summary.h"
#include "reports/debrief.h"
#include "textio/free_form.h"

namespace plotwright {

std::optional<std::string> Utf8FromUtf16(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t letter = text[i];
    if (letter >= 0xDC00 && letter <= 0xDFFF) return std::nullopt;  // the second half of a pair, alone
    if (letter >= 0xD800 && letter <= 0xDBFF) {
      if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return std::nullopt;
      letter = 0x10000 + ((letter - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (letter < 0x80) {
      bytes += static_cast<char>(letter);
    } else if (letter < 0x800) {
      bytes += static_cast<char>(0xC0 | (letter >> 6));
      bytes += static_cast<char>(0x80 | (letter & 0x3F));
    } else if (letter < 0x10000) {
      bytes += static_cast<char>(0xE0 | (letter >> 12));
      bytes += static_cast<char>(0x80 | ((letter >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (letter & 0x3F));
    } else {
      bytes += static_cast<char>(0xF0 | (letter >> 18));
      bytes += static_cast<char>(0x80 | ((letter >> 12) & 0x3F));
      bytes += static_cast<char>(0x80 | ((letter >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (letter & 0x3F));
    }
  }
  return bytes;
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      line.Do = CommandLine::Action::kHelp;
      return line;
    }
    if (argument == "--version") {
      line.Do = CommandLine::Action::kVersion;
      return line;
    }
    if (argument == "--founders") {
      line.Do = CommandLine::Action::kFounders;
      return line;
    }
    if (argument == "--check-crosses") {
      line.Do = CommandLine::Action::kCheckCrosses;
      return line;
    }
    if (argument == "--resume") {
      line.Do = CommandLine::Action::kResume;
      continue;
    }
    struct Named {
      std::string Option;
      CommandLine::Action Do;
      const char* Needs;
    };
    for (const Named& named : {Named{"--replay", CommandLine::Action::kReplay, "the record of a game"},
                               Named{"--debrief", CommandLine::Action::kDebrief, "the record of a game"},
                               Named{"--class", CommandLine::Action::kClass, "the folder of a class's records"}}) {
      const std::string& option = named.Option;
      const CommandLine::Action action = named.Do;
      if (argument != option && argument.rfind(option + "=", 0) != 0) continue;
      const bool joined = argument != option;
      if ((joined && argument.size() == option.size() + 1) || (!joined && i + 1 == arguments.size())) {
        line.Do = CommandLine::Action::kBadUsage;
        line.Problem = option + " needs " + named.Needs;
        return line;
      }
      line.Do = action;
      line.Record = joined ? argument.substr(option.size() + 1) : arguments[++i];
      return line;
    }
    std::string value;
    if (argument == "--seed" && i + 1 < arguments.size()) {
      value = arguments[++i];
    } else if (argument.rfind("--seed=", 0) == 0) {
      value = argument.substr(7);
    } else {
      line.Do = CommandLine::Action::kBadUsage;
      line.Problem = argument == "--seed" ? "--seed needs a number" : "unknown option '" + argument + "'";
      return line;
    }
    int seed = 0;
    if (value.empty() || value[0] == '-' || value[0] == '+' || !ConvertInteger(value, seed)) {
      line.Do = CommandLine::Action::kBadUsage;
      line.Problem = "--seed needs a whole number from 0 to 2147483647, not '" + value + "'";
      return line;
    }
    line.Seed = -seed;
  }
  return line;
}

std::string UsageText() {
  return "Usage: plotwright [--seed N] [--resume] [--founders] [--check-crosses]\n"
         "                  [--replay RECORD] [--debrief RECORD] [--class FOLDER]\n"
         "                  [--help] [--version]\n"
         "\n"
         "A plant-breeding game for the classroom. Run it in a folder that holds\n"
         "Crosses.csv (one cross per line: founder, founder, number of F2 plants);\n"
         "it writes Results.csv there for you to prune in a spreadsheet.\n"
         "\n"
         "Options:\n"
         "  --seed N    start the random stream from seed N (0 to 2147483647)\n"
         "              instead of the clock, so a game can be replayed exactly\n"
         "  --resume    continue the game left unfinished in this folder where it\n"
         "              stopped (a game started without it offers the same)\n"
         "  --founders  show the yield, protein and Fhb of the 15 founder lines and\n"
         "              whether each carries the Fhb resistance gene, then exit\n"
         "  --check-crosses  check Crosses.csv as a game would, show what is wrong\n"
         "              with it if anything is, then exit (status 1 if it is unusable)\n"
         "  --replay RECORD  play the game of a record (Plotwright-record.json, which\n"
         "              every game writes in its folder) again, show it, and say\n"
         "              whether it is identical (status 0) or where it differs (1)\n"
         "  --debrief RECORD  write the debrief of a recorded game, Plotwright-debrief.html,\n"
         "              beside the record (every game with a release writes one itself)\n"
         "  --class FOLDER  read every game record below FOLDER (a folder per student)\n"
         "              and write Class-summary.html and Class-summary.csv there\n"
         "  --help      show this text and exit\n"
         "  --version   show the version and exit\n";
}

int RunCommandLine(const std::vector<std::string>& arguments, Console& console, const std::filesystem::path& folder) {
  const CommandLine line = ParseCommandLine(arguments);
  switch (line.Do) {
    case CommandLine::Action::kHelp:
      console.Out << UsageText();
      return kExitNormal;
    case CommandLine::Action::kVersion:
      console.Out << "plotwright " << PLOTWRIGHT_VERSION << '\n';
      return kExitNormal;
    case CommandLine::Action::kFounders:
      return ShowFounders(console, folder);
    case CommandLine::Action::kCheckCrosses:
      return CheckCrossesFile(console, folder);
    case CommandLine::Action::kReplay:
      return ReplayRecord(console, folder, line.Record);
    case CommandLine::Action::kDebrief:
      return WriteDebriefOfRecord(console, folder, line.Record);
    case CommandLine::Action::kClass:
      return WriteClassSummary(console, folder, line.Record);
    case CommandLine::Action::kBadUsage:
      console.Err << "plotwright: " << line.Problem << "\n\n" << UsageText();
      return kExitBadUsage;
    case CommandLine::Action::kPlay:
    case CommandLine::Action::kResume:
      break;
  }
  return PlayInFolder(console, folder, line.Seed, line.Do == CommandLine::Action::kResume);
}

}  // namespace plotwright
