#include "game/reference_data.h"

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/embedded_data.h"
#include "genetics/trait_model.h"
#include "textio/edit.h"
#include "textio/files.h"

namespace plotwright {
namespace {

constexpr const char* kMapFile = "zForbidden.csv";
constexpr const char* kFoundersFile = "zHandsOff.csv";
constexpr const char* kEffectsFile = "zKeepOut.csv";

void ReportMalformed(Console& console, const std::string& problem, const std::vector<std::string>& more = {}) {
  PrintLine(console, "  ");
  PrintLine(console, " ERROR:");
  PrintLine(console, problem);
  for (const std::string& line : more) PrintLine(console, line);
  PrintLine(console, "   Restore the file, or remove it from the game folder to play with");
  PrintLine(console, "   the copy built into the game");
}

// One reference file being read record by record, the free-form way.
struct ReferenceFile {
  std::string Name;
  std::istringstream Text;
  LineReader Reader{&Text, 0};
  int RecordsNeeded = 0;
  int RecordsRead = 0;
  int RecordLine = 0;  // line on which the current record starts

  std::string At() const { return "   Line " + std::to_string(RecordLine) + " of the " + Name + " file: "; }
};

// The text of the named file: the game folder's copy, or the built-in one
// when the folder has none. Returns false after reporting a copy that
// cannot be read.
bool ReferenceText(Console& console, const std::filesystem::path& folder, const std::string& name, std::string& text) {
  if (!GameFileExists(console, folder, name)) {
    for (const EmbeddedFile& embedded : EmbeddedReferenceFiles()) {
      if (embedded.Name == name) text = std::string(embedded.Content);
    }
    return true;
  }
  const FileProblem problem = ReadGameFile(console, folder, name, text);
  if (problem == FileProblem::kNone) return true;
  ReportMalformed(console, "   The " + name + " file in the game folder cannot be opened",
                  FileProblemLines(problem, name, name, false, false));
  return false;
}

// Starts reading a file's text; false after reporting a file saved as
// UTF-16, which no record of it could be read from.
bool OpenReference(Console& console, const std::string& name, std::string_view text, int records, ReferenceFile& file) {
  if (LooksLikeUtf16(text)) {
    ReportMalformed(console, "   The " + name + " file was saved as Unicode text; save it as CSV text");
    return false;
  }
  file.Name = name;
  file.Text.str(std::string(text));
  file.RecordsNeeded = records;
  return true;
}

// Reads the next record into `targets`; reports and returns false if the
// file ends early or a field is not a number.
bool ReadRecord(Console& console, ReferenceFile& file, std::span<const ReadTarget> targets) {
  file.RecordLine = file.Reader.LineNumber + 1;
  const ReadResult result = ReadValues(file.Reader, targets);
  switch (result.Status) {
    case ReadStatus::kOk:
      ++file.RecordsRead;
      return true;
    case ReadStatus::kEndOfFile:
      ReportMalformed(console, "   The " + file.Name + " file ends after " + std::to_string(file.RecordsRead) +
                                   " of its " + std::to_string(file.RecordsNeeded) + " records");
      return false;
    case ReadStatus::kConversionError:
      file.RecordLine = file.Reader.LineNumber;
      ReportMalformed(console, file.At() + "\"" + ShownField(result.Field) + "\" is " +
                                   (IsTooLargeWholeNumber(result.Field)          ? "too large"
                                    : targets[0].Type == ReadTarget::Kind::kReal ? "not a number"
                                                                                 : "not a whole number"));
      return false;
    case ReadStatus::kSyntaxError:
      file.RecordLine = file.Reader.LineNumber;
      ReportMalformed(console, file.At() + "a quoted text is not closed");
      return false;
  }
  return false;
}

}  // namespace

bool ParseLocusTable(Console& console, std::string_view text, ReferenceTables& reference) {
  ReferenceFile file;
  if (!OpenReference(console, kMapFile, text, kLoci, file)) return false;
  std::set<int> seen;
  for (LocusRecord& locus : reference.LocusTable) {
    locus = LocusRecord{};
    const ReadTarget targets[] = {IntegerTarget(locus.QtlOrMarker), IntegerTarget(locus.Chromosome),
                                  IntegerTarget(locus.Position)};
    if (!ReadRecord(console, file, targets)) return false;
    const int code = locus.QtlOrMarker;
    if (code > kQtl || code < -kMarkers) {
      ReportMalformed(console, file.At() + (code > 0 ? "QTL number " + std::to_string(code) + " is above 400"
                                                     : "marker number " + std::to_string(-code) + " is above 512"));
      return false;
    }
    if (code != 0 && !seen.insert(code).second) {
      ReportMalformed(console, file.At() +
                                   (code > 0 ? "QTL " + std::to_string(code) : "marker " + std::to_string(-code)) +
                                   " appears a second time");
      return false;
    }
  }
  if (seen.count(kFhbGeneQtl) == 0) {
    ReportMalformed(console, "   The zForbidden.csv file holds no QTL 303, the resistance gene the screening reads");
    return false;
  }
  return true;
}

bool ParseFounders(Console& console, std::string_view text, ReferenceTables& reference) {
  ReferenceFile file;
  if (!OpenReference(console, kFoundersFile, text, kFounders, file)) return false;
  std::vector<int> codes(kLoci);
  std::vector<ReadTarget> targets;
  for (int& code : codes) targets.push_back(IntegerTarget(code));
  for (int founder = 1; founder <= kFounders; ++founder) {
    std::fill(codes.begin(), codes.end(), 0);
    if (!ReadRecord(console, file, targets)) return false;
    for (int locus = 0; locus < kLoci; ++locus) {
      const int code = codes[static_cast<std::size_t>(locus)];
      if (code != 1 && code != 2) {
        ReportMalformed(console, file.At() + "founder " + std::to_string(founder) + " has the allele code " +
                                     std::to_string(code) + " at locus " + std::to_string(locus + 1) +
                                     "; codes are 1 or 2");
        return false;
      }
      reference.FounderGenotype[static_cast<std::size_t>(founder - 1)][static_cast<std::size_t>(locus)] =
          static_cast<AlleleCode>(code);
    }
  }
  return true;
}

bool ParseMarkerEffects(Console& console, std::string_view text, ReferenceTables& reference) {
  ReferenceFile file;
  if (!OpenReference(console, kEffectsFile, text, kMarkerRows, file)) return false;
  for (TraitValues& row : reference.MarkerEffects) {
    row = TraitValues{};
    const ReadTarget targets[] = {RealTarget(row[0]), RealTarget(row[1]), RealTarget(row[2])};
    if (!ReadRecord(console, file, targets)) return false;
  }
  return true;
}

bool LoadLocusTableAndFounders(Console& console, const std::filesystem::path& folder, ReferenceTables& reference) {
  std::string map, founders;
  return ReferenceText(console, folder, kMapFile, map) && ParseLocusTable(console, map, reference) &&
         ReferenceText(console, folder, kFoundersFile, founders) && ParseFounders(console, founders, reference);
}

bool LoadMarkerEffects(Console& console, const std::filesystem::path& folder, ReferenceTables& reference) {
  std::string effects;
  return ReferenceText(console, folder, kEffectsFile, effects) && ParseMarkerEffects(console, effects, reference);
}

}  // namespace plotwright
