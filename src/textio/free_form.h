// The free-form read: comma- or blank-separated values, the one way every
// typed answer and every file of the game is parsed. It reports its outcome
// like an I/O status and leaves a target unchanged on a null value.
//
// Rules: values are separated by commas (semicolons count as commas, as many
// spreadsheets save them), blanks or the end of a line; blanks around a comma
// are ignored; nothing between two commas is a null value; a slash ends the
// read; a line that runs out continues the read on the next line; once all
// targets are filled the rest of the line is skipped. Text is a quoted string
// (apostrophes or double quotes, a doubled quote standing for one) or a bare
// word ending at a blank, comma, slash or line end. A UTF-8 byte-order mark at
// the start of the input and a carriage return at a line end are ignored.
#pragma once

#include <istream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace plotwright {

enum class ReadStatus { kOk, kEndOfFile, kConversionError, kSyntaxError };

// A sequential source of lines that counts them, so messages can name a line.
// Hears each line a reader takes, as the reader hands it on: without its
// line end, and without the byte-order mark of a first line.
class LineListener {
 public:
  virtual void Taken(std::string_view line) = 0;

 protected:
  ~LineListener() = default;
};

struct LineReader {
  std::istream* In = nullptr;
  int LineNumber = 0;  // number of the last line taken (1 = first line)
  LineListener* Listener = nullptr;
};

// Takes the next line without its line end. Returns false at end of input.
bool NextLine(LineReader& reader, std::string& line);

// One value of a line as the free-form rules split it.
struct FreeFormField {
  std::string Text;     // the value, quotes removed
  bool Null = false;    // nothing between two separators
  bool Quoted = false;  // written as a quoted string
};

struct SplitLine {
  std::vector<FreeFormField> Fields;
  bool Slash = false;         // a slash ended the values early
  bool Unterminated = false;  // a quoted string ran to the end of the line
};

SplitLine SplitFreeForm(std::string_view line);

// True when the line holds no value at all: only blanks, commas or semicolons.
bool IsEmptyRecord(std::string_view line);

// Conversions of one field: an optionally signed string of digits within the
// 32-bit range; a real in integer, decimal or exponent form.
bool ConvertInteger(std::string_view text, int& value);
bool ConvertReal(std::string_view text, double& value);

// Whether `text` is a whole number written right but beyond the 32-bit range.
bool IsTooLargeWholeNumber(std::string_view text);

// A target of a read: a whole number or a real.
struct ReadTarget {
  enum class Kind { kInteger, kReal } Type = Kind::kInteger;
  int* Integer = nullptr;
  double* Real = nullptr;
};
ReadTarget IntegerTarget(int& value);
ReadTarget RealTarget(double& value);

struct ReadResult {
  ReadStatus Status = ReadStatus::kOk;
  int Filled = 0;     // targets that received a value (nulls and a slash fill none)
  std::string Field;  // the offending field of a conversion error
};

// Reads values into the targets, starting at the next line.
ReadResult ReadValues(LineReader& reader, std::span<const ReadTarget> targets);

// A read with no targets: consumes exactly one line.
ReadResult SkipLine(LineReader& reader);

}  // namespace plotwright
