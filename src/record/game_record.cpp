#include "record/game_record.h"

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <utility>

#include "textio/digest.h"

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

FileProblem ProblemNamed(const std::string& name) {
  for (const auto& [value, text] : kProblemNames) {
    if (name == text) return value;
  }
  throw std::invalid_argument("unknown file problem '" + name + "'");
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

std::string FromBase64(const std::string& text) {
  std::string out;
  unsigned block = 0;
  int bits = 0;
  for (const char c : text) {
    if (c == '=') break;
    const char* at = std::find(kBase64, kBase64 + 64, c);
    if (at == kBase64 + 64) throw std::invalid_argument("a base64 text holds '" + std::string(1, c) + "'");
    block = (block << 6) | static_cast<unsigned>(at - kBase64);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((block >> bits) & 0xFF);
    }
  }
  return out;
}

// Text as JSON: a string where it is UTF-8, else its bytes in base64.
Json TextJson(std::string_view text) {
  if (IsUtf8(text)) return std::string(text);
  return Json{{"base64", ToBase64(text)}};
}

std::string TextFromJson(const Json& json) {
  if (json.is_object()) return FromBase64(json.at("base64").get<std::string>());
  return json.get<std::string>();
}

// Kept IDs, ascending, as runs of consecutive IDs: [first, last] each, so
// that keeping most of a large table takes a few numbers.
Json IdRuns(const std::vector<int>& ids) {
  Json runs = Json::array();
  for (std::size_t i = 0; i < ids.size();) {
    std::size_t j = i;
    while (j + 1 < ids.size() && ids[j + 1] == ids[j] + 1) ++j;
    runs.push_back({ids[i], ids[j]});
    i = j + 1;
  }
  return runs;
}

std::vector<int> IdsOfRuns(const Json& runs) {
  std::vector<int> ids;
  for (const Json& run : runs) {
    const int first = run.at(0).get<int>(), last = run.at(1).get<int>();
    if (first < 1 || last < first || last - first > 10'000'000)
      throw std::invalid_argument("a run of IDs " + run.dump());
    for (int id = first; id <= last; ++id) ids.push_back(id);
  }
  return ids;
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
      break;
  }
  return json;
}

RecordEvent EventFromJson(const Json& json) {
  RecordEvent event;
  if (json.contains("printed")) {
    event.What = RecordEvent::Kind::kPrinted;
    event.Lines = json.at("printed").get<std::vector<std::string>>();
  } else if (json.contains("typed")) {
    event.What = RecordEvent::Kind::kTyped;
    event.Text = TextFromJson(json.at("typed"));
  } else if (json.contains("exists")) {
    event.What = RecordEvent::Kind::kExists;
    event.File = json.at("exists").get<std::string>();
    event.Found = json.at("found").get<bool>();
  } else if (json.contains("read") || json.contains("wrote")) {
    const bool read = json.contains("read");
    event.What = read ? RecordEvent::Kind::kRead : RecordEvent::Kind::kWritten;
    event.File = json.at(read ? "read" : "wrote").get<std::string>();
    event.Problem = ProblemNamed(json.at("problem").get<std::string>());
    if (json.contains("sha256")) event.Sha256 = json.at("sha256").get<std::string>();
    event.HasKept = json.contains("kept");
    if (event.HasKept) event.Kept = IdsOfRuns(json.at("kept"));
    event.HasText = json.contains("text");
    if (event.HasText) event.Text = TextFromJson(json.at("text"));
  } else {
    throw std::invalid_argument("an event of an unknown kind: " + json.dump());
  }
  return event;
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

}  // namespace

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
  try {
    const Json json = Json::parse(text);
    if (!json.is_object() || json.value("record", std::string()) != kRecordKind) {
      why = "it is not a Plotwright game record";
      return false;
    }
    if (json.at("layout").get<int>() != kRecordLayout) {
      why = "its layout, " + json.at("layout").dump() + ", is not one this version reads";
      return false;
    }
    GameRecord read;
    read.Version = json.at("version").get<std::string>();
    read.Platform = json.at("platform").get<std::string>();
    read.Seed = json.at("seed").get<std::int32_t>();
    read.ClockSeed = json.at("seed from").get<std::string>() == "clock";
    read.Crosses = TextFromJson(json.at("crosses"));
    for (const Json& use : json.at("reference files")) {
      read.Reference.push_back({use.at("file").get<std::string>(), use.at("from").get<std::string>() == "game folder",
                                use.at("sha256").get<std::string>()});
    }
    for (const Json& charge : json.at("charges")) {
      read.Charges.push_back(
          {charge.at("task").get<int>(), charge.at("dollars").get<double>(), charge.at("balance").get<double>()});
    }
    if (json.contains("release")) {
      const Json& release = json.at("release");
      RecordedRelease r;
      r.Line = release.at("line").get<int>();
      r.FirstParent = release.at("parents").at(0).get<int>();
      r.SecondParent = release.at("parents").at(1).get<int>();
      r.Values = {release.at("yield").get<double>(), release.at("protein").get<double>(),
                  release.at("fhb").get<double>()};
      r.MeetsProtein = release.at("meets protein").get<bool>();
      r.MeetsFhb = release.at("meets fhb").get<bool>();
      read.Release = r;
    }
    SetEnded(json.at("ended").get<std::string>(), read);
    for (const Json& event : json.at("events")) read.Events.push_back(EventFromJson(event));
    record = std::move(read);
    return true;
  } catch (const Json::parse_error& error) {
    why = std::string("it is cut short or is not a game record at all (") + error.what() + ")";
    return false;
  } catch (const std::exception& error) {
    why = std::string("a part of it is missing or damaged (") + error.what() + ")";
    return false;
  }
}

RecordProblem LoadRecord(const std::filesystem::path& folder, const std::string& recordName, LoadedRecord& loaded) {
  const std::size_t slash = recordName.find_last_of("/\\");
  loaded.Folder = folder;
  if (slash != std::string::npos) loaded.Folder = folder / PathFromUtf8(recordName.substr(0, slash + 1));
  loaded.Name = slash == std::string::npos ? recordName : recordName.substr(slash + 1);
  std::string text;
  RecordProblem problem;
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

std::string SelectionText(std::string_view written, const std::vector<int>& kept) {
  const int headerRows = written.rfind("Plant_ID", 0) == 0 ? 1 : 3;
  std::string text;
  std::size_t at = 0;
  for (int row = 0; row < headerRows && at < written.size(); ++row) {
    const std::size_t end = written.find('\n', at);
    const std::size_t next = end == std::string_view::npos ? written.size() : end + 1;
    text.append(written.substr(at, next - at));
    at = next;
  }
  for (const int id : kept) text += std::to_string(id) + "\n";
  return text;
}

}  // namespace plotwright
