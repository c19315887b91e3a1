#include "record/game_record.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <utility>

#include "game/crosses.h"
#include "game/reference_data.h"
#include "game/standards.h"
#include "game/tasks.h"
#include "selection/results_file.h"
#include "textio/digest.h"
#include "textio/edit.h"

namespace plotwright {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::array<std::pair<FileProblem, const char*>, 7> kProblemNames = {{
    {FileProblem::kNone, "none"},
    {FileProblem::kMissing, "missing"},
    {FileProblem::kLockFile, "lock file"},
    {FileProblem::kHeld, "held"},
    {FileProblem::kNoPermission, "no permission"},
    {FileProblem::kDiskFull, "disk full"},
    {FileProblem::kOther, "other"},
}};

const char* ProblemName(FileProblem problem) {
  for (const auto& [value, name] : kProblemNames) {
    if (value == problem) return name;
  }
  return "other";
}

bool IsUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    int more = 0;
    unsigned lowest = 0;
    if (byte < 0x80) {
      ++i;
      continue;
    }
    if (byte >= 0xC2 && byte <= 0xDF) {
      more = 1, lowest = 0x80;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      more = 2, lowest = 0x800;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      more = 3, lowest = 0x10000;
    } else {
      return false;
    }
    if (i + static_cast<std::size_t>(more) >= text.size()) return false;
    unsigned code = byte & (0x3F >> more);
    for (int k = 1; k <= more; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += static_cast<std::size_t>(more) + 1;
  }
  return true;
}

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string ToBase64(std::string_view bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    unsigned block = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) block |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) block |= static_cast<unsigned char>(bytes[i + 2]);
    out += kBase64[(block >> 18) & 63];
    out += kBase64[(block >> 12) & 63];
    out += i + 1 < bytes.size() ? kBase64[(block >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kBase64[block & 63] : '=';
  }
  return out;
}

// Text as JSON: a string where it is UTF-8, else its bytes in base64.
Json TextJson(std::string_view text) {
  if (IsUtf8(text)) return std::string(text);
  return Json{{"base64", ToBase64(text)}};
}

// Kept IDs as runs: [first, last] each, so that keeping most of a large
// table takes a few numbers.
Json IdRuns(const std::vector<IdRun>& runs) {
  Json json = Json::array();
  for (const IdRun& run : runs) json.push_back({run.First, run.Last});
  return json;
}

Json EventJson(const RecordEvent& event) {
  Json json;
  switch (event.What) {
    case RecordEvent::Kind::kPrinted:
      json["printed"] = event.Lines;
      break;
    case RecordEvent::Kind::kTyped:
      json["typed"] = TextJson(event.Text);
      break;
    case RecordEvent::Kind::kExists:
      json["exists"] = event.File;
      json["found"] = event.Found;
      break;
    case RecordEvent::Kind::kRead:
    case RecordEvent::Kind::kWritten:
      json[event.What == RecordEvent::Kind::kRead ? "read" : "wrote"] = event.File;
      json["problem"] = ProblemName(event.Problem);
      if (event.Problem == FileProblem::kNone) json["sha256"] = event.Sha256;
      if (event.HasKept) json["kept"] = IdRuns(event.Kept);
      if (event.HasText) json["text"] = TextJson(event.Text);
      if (event.RefusedSize > 0) json["size"] = event.RefusedSize;
      break;
  }
  return json;
}

// How the game ended, as the record says it: nothing while it is played,
// "released", "ended without a release", or the diagnostic it stopped with.
constexpr const char* kReleasedText = "released";
constexpr const char* kWithoutReleaseText = "ended without a release";

std::string EndedText(const GameRecord& record) {
  switch (record.Ended) {
    case GameEnding::kUnfinished:
      return "";
    case GameEnding::kReleased:
      return kReleasedText;
    case GameEnding::kWithoutRelease:
      return kWithoutReleaseText;
    case GameEnding::kStopped:
      return record.Stopped;
  }
  return "";
}

void SetEnded(const std::string& text, GameRecord& record) {
  record.Stopped.clear();
  if (text.empty()) {
    record.Ended = GameEnding::kUnfinished;
  } else if (text == kReleasedText) {
    record.Ended = GameEnding::kReleased;
  } else if (text == kWithoutReleaseText) {
    record.Ended = GameEnding::kWithoutRelease;
  } else {
    record.Ended = GameEnding::kStopped;
    record.Stopped = text;
  }
}

// A record that breaks a rule of its layout, and why in a few words.
struct Unreadable {
  std::string Why;
};

// How deep brackets lie within brackets in JSON text, strings passed over:
// measured before the text is parsed, so that no edit can make the parse
// itself go too deep.
int NestingDepth(std::string_view text) {
  int depth = 0, deepest = 0;
  bool inString = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\') ++i;
      if (c == '"') inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
      if (deepest > kRecordDeepest) return deepest;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return deepest;
}

std::string TooLarge(std::uintmax_t size) {
  return "it is larger than any game record (" + std::to_string(size >> 20) + " MB)";
}

bool IsHex(const std::string& text, std::size_t length) {
  return text.size() == length &&
         std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// The most a game can reach: dollars of one charge and of the balance, and
// true values far beyond any trait scale.
constexpr double kMostDollars = 250000;
constexpr double kMostValue = 1e6;
constexpr std::size_t kLongestName = 200;  // a version, a platform, a file name

// Reads a parsed record field by field, each checked for its type and range.
class RecordReader {
 public:
  GameRecord Read(const Json& json) {
    GameRecord read;
    read.Version = Text(Field(json, "version"), "version", kLongestName);
    read.Platform = Text(Field(json, "platform"), "platform", kLongestName);
    read.Seed = static_cast<std::int32_t>(Whole(Field(json, "seed"), "seed", INT32_MIN, INT32_MAX));
    const std::string from = Text(Field(json, "seed from"), "seed from", kLongestName);
    if (from != "clock" && from != "--seed") Fail("seed from");
    read.ClockSeed = from == "clock";
    read.Crosses = TextOrBytes(Field(json, "crosses"), "crosses");
    entries_ = static_cast<long long>(CountEntries(ReadCrosses(read.Crosses).Crosses));
    for (const Json& use : List(Field(json, "reference files"), "reference files")) {
      const std::string file = FileName(Field(use, "file"));
      const std::string place = Text(Field(use, "from"), "reference files", kLongestName);
      if (place != "game folder" && place != "built-in") Fail("reference files");
      read.Reference.push_back({file, place == "game folder", Digest(Field(use, "sha256"), 64)});
    }
    for (const Json& charge : List(Field(json, "charges"), "charges")) {
      const int task = static_cast<int>(Whole(Field(charge, "task"), "charges", 0, 99));
      if (task != 0 && FindTask(static_cast<TaskNumber>(task)) == nullptr) Fail("charges");
      read.Charges.push_back({task, Real(Field(charge, "dollars"), "charges", 0, kMostDollars),
                              Real(Field(charge, "balance"), "charges", -kMostDollars, kMostDollars)});
    }
    if (json.contains("release")) {
      const Json& release = json.at("release");
      RecordedRelease r;
      r.Line = static_cast<int>(Whole(Field(release, "line"), "release", 1, std::max(1LL, entries_)));
      const Json& parents = Field(release, "parents");
      if (!parents.is_array() || parents.size() != 2) Fail("release");
      r.FirstParent = static_cast<int>(Whole(parents[0], "release", 1, kFounders));
      r.SecondParent = static_cast<int>(Whole(parents[1], "release", 1, kFounders));
      r.Values = {Real(Field(release, "yield"), "release", -kMostValue, kMostValue),
                  Real(Field(release, "protein"), "release", -kMostValue, kMostValue),
                  Real(Field(release, "fhb"), "release", -kMostValue, kMostValue)};
      r.MeetsProtein = Flag(Field(release, "meets protein"), "release");
      r.MeetsFhb = Flag(Field(release, "meets fhb"), "release");
      read.Release = r;
    }
    SetEnded(TextOrBytes(Field(json, "ended"), "ended", kLongestName * 5), read);
    for (const Json& event : List(Field(json, "events"), "events")) read.Events.push_back(Event(event));
    return read;
  }

 private:
  [[noreturn]] static void Fail(const std::string& field) {
    throw Unreadable{"its field \"" + field + "\" is missing, damaged or out of range"};
  }

  static const Json& Field(const Json& object, const char* name) {
    if (!object.is_object() || !object.contains(name)) Fail(name);
    return object.at(name);
  }

  static const Json& List(const Json& json, const char* what) {
    if (!json.is_array()) Fail(what);
    return json;
  }

  static std::string Text(const Json& json, const char* what, std::size_t longest) {
    if (!json.is_string() || json.get_ref<const std::string&>().size() > longest) Fail(what);
    return json.get<std::string>();
  }

  // Text as TextJson writes it: a string, or bytes in base64.
  static std::string TextOrBytes(const Json& json, const char* what, std::size_t longest = kRecordMostBytes) {
    if (json.is_string()) return Text(json, what, longest);
    const std::string encoded = Text(Field(json, "base64"), what, longest * 4 / 3 + 4);
    std::string out;
    unsigned block = 0;
    int bits = 0;
    for (const char c : encoded) {
      if (c == '=') break;
      const char* at = std::find(kBase64, kBase64 + 64, c);
      if (at == kBase64 + 64) Fail(what);
      block = ((block << 6) | static_cast<unsigned>(at - kBase64)) & 0xFFFFFF;
      bits += 6;
      if (bits >= 8) {
        bits -= 8;
        out += static_cast<char>((block >> bits) & 0xFF);
      }
    }
    return out;
  }

  static long long Whole(const Json& json, const char* what, long long lowest, long long highest) {
    if (!json.is_number_integer()) Fail(what);
    if (json.is_number_unsigned() && json.get<unsigned long long>() > static_cast<unsigned long long>(highest)) {
      Fail(what);
    }
    const long long value = json.get<long long>();
    if (value < lowest || value > highest) Fail(what);
    return value;
  }

  static double Real(const Json& json, const char* what, double lowest, double highest) {
    if (!json.is_number()) Fail(what);
    const double value = json.get<double>();
    if (!std::isfinite(value) || value < lowest || value > highest) Fail(what);
    return value;
  }

  static bool Flag(const Json& json, const char* what) {
    if (!json.is_boolean()) Fail(what);
    return json.get<bool>();
  }

  static std::string Digest(const Json& json, std::size_t length) {
    std::string digest = Text(json, "events", length);
    if (!IsHex(digest, length)) Fail("events");
    return digest;
  }

  // The name of a file the game uses: Crosses.csv, Results.csv or a
  // reference file.
  static std::string FileName(const Json& json) {
    std::string name = Text(json, "events", kLongestName);
    if (name != kCrossesFile && name != kResultsFile &&
        std::find(kReferenceFiles.begin(), kReferenceFiles.end(), name) == kReferenceFiles.end()) {
      Fail("events");
    }
    return name;
  }

  static FileProblem Problem(const Json& json) {
    const std::string name = Text(json, "events", kLongestName);
    for (const auto& [value, text] : kProblemNames) {
      if (name == text) return value;
    }
    Fail("events");
  }

  // Runs of kept IDs: ascending, apart, and within the game's entries.
  std::vector<IdRun> Runs(const Json& json) const {
    std::vector<IdRun> runs;
    long long after = 0;
    for (const Json& run : List(json, "events")) {
      if (!run.is_array() || run.size() != 2) Fail("events");
      const long long first = Whole(run[0], "events", after + 1, entries_);
      const long long last = Whole(run[1], "events", first, entries_);
      runs.push_back({static_cast<int>(first), static_cast<int>(last)});
      after = last;
    }
    return runs;
  }

  RecordEvent Event(const Json& json) const {
    RecordEvent event;
    if (!json.is_object()) Fail("events");
    if (json.contains("printed")) {
      event.What = RecordEvent::Kind::kPrinted;
      const Json& lines = List(json.at("printed"), "events");
      if (lines.empty()) Fail("events");
      for (const Json& line : lines) event.Lines.push_back(Digest(line, 16));
    } else if (json.contains("typed")) {
      event.What = RecordEvent::Kind::kTyped;
      event.Text = TextOrBytes(json.at("typed"), "events");
    } else if (json.contains("exists")) {
      event.What = RecordEvent::Kind::kExists;
      event.File = FileName(json.at("exists"));
      event.Found = Flag(Field(json, "found"), "events");
    } else if (json.contains("read") || json.contains("wrote")) {
      const bool read = json.contains("read");
      event.What = read ? RecordEvent::Kind::kRead : RecordEvent::Kind::kWritten;
      event.File = FileName(json.at(read ? "read" : "wrote"));
      event.Problem = Problem(Field(json, "problem"));
      if (event.Problem == FileProblem::kNone) event.Sha256 = Digest(Field(json, "sha256"), 64);
      event.HasKept = read && json.contains("kept");
      if (event.HasKept) event.Kept = Runs(json.at("kept"));
      event.HasText = read && json.contains("text");
      if (event.HasText) event.Text = TextOrBytes(json.at("text"), "events");
      if (json.contains("size")) {
        event.RefusedSize = static_cast<std::uintmax_t>(Whole(json.at("size"), "events", 0, 1LL << 40));
      }
    } else {
      Fail("events");
    }
    return event;
  }

  long long entries_ = 0;  // the entries the record's crosses make
};
}  // namespace

void FactsOfGame::Started(const Game& game) {
  Charges.push_back({0, kStartingBalance - game.State.Balance, game.State.Balance});
}

void FactsOfGame::TaskDone(const Game& game, TaskNumber task, const std::vector<int>&, double dollars) {
  if (dollars != 0) Charges.push_back({static_cast<int>(task), dollars, game.State.Balance});
  if (game.Released) {
    const ReleasedLine& line = *game.Released;
    Release = RecordedRelease{line.Id,
                              line.Parents[0],
                              line.Parents[1],
                              line.Values,
                              MeetsProteinStandard(line.Judged),
                              MeetsFhbStandard(line.Judged)};
  }
}

std::string SeedText(std::int32_t seed) { return std::to_string(-static_cast<long long>(seed)); }

std::string PlatformName() {
  std::string name;
#if defined(__EMSCRIPTEN__)
  name = "WebAssembly";
#elif defined(_WIN32)
  name = "Windows";
#elif defined(__APPLE__)
  name = "macOS";
#elif defined(__linux__)
  name = "Linux";
#else
  name = "another system";
#endif
#if defined(__x86_64__) || defined(_M_X64)
  name += " x86-64";
#elif defined(__aarch64__) || defined(_M_ARM64)
  name += " arm64";
#endif
#if defined(_LIBCPP_VERSION)
  name += ", libc++";
#elif defined(__GLIBCXX__)
  name += ", libstdc++";
#endif
  return name;
}

std::string LineDigest(std::string_view line) { return Sha256Hex(line).substr(0, 16); }

std::string RecordJson(const GameRecord& record) {
  Json json;
  json["record"] = kRecordKind;
  json["layout"] = kRecordLayout;
  json["version"] = record.Version;
  json["platform"] = record.Platform;
  json["seed"] = record.Seed;
  json["seed from"] = record.ClockSeed ? "clock" : "--seed";
  json["crosses"] = TextJson(record.Crosses);
  Json reference = Json::array();
  for (const ReferenceUse& use : record.Reference) {
    reference.push_back(
        {{"file", use.File}, {"from", use.FromFolder ? "game folder" : "built-in"}, {"sha256", use.Sha256}});
  }
  json["reference files"] = std::move(reference);
  Json charges = Json::array();
  for (const RecordedCharge& charge : record.Charges) {
    charges.push_back({{"task", charge.Task}, {"dollars", charge.Dollars}, {"balance", charge.Balance}});
  }
  json["charges"] = std::move(charges);
  if (record.Release) {
    const RecordedRelease& release = *record.Release;
    json["release"] = {{"line", release.Line},
                       {"parents", {release.FirstParent, release.SecondParent}},
                       {"yield", release.Values[kYield]},
                       {"protein", release.Values[kProtein]},
                       {"fhb", release.Values[kFhb]},
                       {"meets protein", release.MeetsProtein},
                       {"meets fhb", release.MeetsFhb}};
  }
  json["ended"] = EndedText(record);
  Json events = Json::array();
  for (const RecordEvent& event : record.Events) events.push_back(EventJson(event));
  json["events"] = std::move(events);
  return json.dump(1) + "\n";
}

bool ParseRecord(std::string_view text, GameRecord& record, std::string& why) {
  if (text.size() > kRecordMostBytes) {
    why = TooLarge(text.size());
    return false;
  }
  if (NestingDepth(text) > kRecordDeepest) {
    why = "it is nested deeper than any game record";
    return false;
  }
  try {
    const Json json = Json::parse(text);
    if (!json.is_object() || json.value("record", std::string()) != kRecordKind) {
      why = "it is not a Plotwright game record";
      return false;
    }
    const Json& layout = json.at("layout");
    if (!layout.is_number_integer() || layout.get<long long>() != kRecordLayout) {
      why = "its layout, " + ShownText(layout.dump(), 20) + ", is not one this version reads";
      return false;
    }
    record = RecordReader().Read(json);
    return true;
  } catch (const Json::parse_error&) {
    why = "it is cut short or is not a game record at all";
  } catch (const Unreadable& unreadable) {
    why = unreadable.Why;
  } catch (const std::exception&) {
    why = "a part of it is missing or damaged";
  }
  return false;
}

std::vector<IdRun> RunsOfIds(const std::vector<int>& ids) {
  std::vector<IdRun> runs;
  for (std::size_t i = 0; i < ids.size();) {
    std::size_t j = i;
    while (j + 1 < ids.size() && ids[j + 1] == ids[j] + 1) ++j;
    runs.push_back({ids[i], ids[j]});
    i = j + 1;
  }
  return runs;
}

RecordProblem LoadRecord(const std::filesystem::path& folder, const std::string& recordName, LoadedRecord& loaded) {
  const std::size_t slash = recordName.find_last_of("/\\");
  loaded.Folder = folder;
  if (slash != std::string::npos) loaded.Folder = folder / PathFromUtf8(recordName.substr(0, slash + 1));
  loaded.Name = slash == std::string::npos ? recordName : recordName.substr(slash + 1);
  RecordProblem problem;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(PathInFolder(loaded.Folder, loaded.Name), error);
  if (!error && size > kRecordMostBytes) {
    problem.Why = TooLarge(size);
    return problem;
  }
  std::string text;
  problem.File = ReadTextFile(loaded.Folder, loaded.Name, text);
  if (problem.File == FileProblem::kNone) ParseRecord(text, loaded.Record, problem.Why);
  return problem;
}

std::vector<std::string> RecordProblemLines(const RecordProblem& problem, std::string_view name) {
  if (problem.File != FileProblem::kNone) {
    std::vector<std::string> lines = FileProblemLines(problem.File, name, name, false, false);
    lines.push_back("The record cannot be read");
    return lines;
  }
  if (!problem.Why.empty()) return {std::string(name) + ": " + problem.Why};
  return {};
}

std::string SelectionText(std::string_view written, const std::vector<IdRun>& kept) {
  const int headerRows = written.rfind("Plant_ID", 0) == 0 ? 1 : 3;
  std::string text;
  std::size_t at = 0;
  for (int row = 0; row < headerRows && at < written.size(); ++row) {
    const std::size_t end = written.find('\n', at);
    const std::size_t next = end == std::string_view::npos ? written.size() : end + 1;
    text.append(written.substr(at, next - at));
    at = next;
  }
  for (const IdRun& run : kept) {
    for (long long id = run.First; id <= run.Last; ++id) text += std::to_string(id) + "\n";
  }
  return text;
}

}  // namespace plotwright
