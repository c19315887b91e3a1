// Files of the game folder: existence, the "held by another program" test,
// and whole-file reads and writes, each of which says why it failed. Every
// file is opened, read or written to the end, and closed before the next one
// is touched.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace plotwright {

// The path of UTF-8 text. On Windows a path made from a plain string reads
// its bytes in the system's code page, which garbles any other letters.
std::filesystem::path PathFromUtf8(std::string_view text);

// The file `name` (UTF-8) in `folder`.
std::filesystem::path PathInFolder(const std::filesystem::path& folder, std::string_view name);

bool FileExists(const std::filesystem::path& folder, std::string_view name);
bool FolderExists(const std::filesystem::path& folder);

// What was found below a folder: a file, or something that cannot be read
// as one.
struct FoundFile {
  enum class Kind {
    kFile,
    kUnreadableFolder,  // a folder that cannot be listed: what it holds is unknown
    kNotAFile,          // a folder, a pipe or a device with the name of a file
    kBrokenLink,        // a link that leads nowhere, or round in a loop
  };
  std::string Name;  // UTF-8, relative to the folder searched, '/' between folders
  Kind What = Kind::kFile;
  bool operator==(const FoundFile&) const = default;
};

// The files in `folder` and every folder below it whose names end in
// `suffix` (letters of any case), sorted by name, and with them every folder
// that cannot be listed (its name ending in '/') and everything else named
// like such a file. Links to folders are not followed.
std::vector<FoundFile> FilesBelow(const std::filesystem::path& folder, std::string_view suffix);

// Why a file could not be read or written.
enum class FileProblem {
  kNone,
  kMissing,       // no such file in the game folder
  kLockFile,      // a spreadsheet's lock file (".~lock.NAME#") lies beside it
  kHeld,          // another program holds it open
  kNoPermission,  // the file or the folder may not be read or written
  kDiskFull,      // no room left, or the file would pass the size this computer allows
  kOther,
};

// The lock file a spreadsheet keeps beside a file it has open. On Linux and
// macOS the spreadsheet does not stop others from opening the file, so the
// game takes the lock file as the sign that the file is held.
std::string LockFileName(std::string_view name);

// Reads the whole file as text, any line end (CRLF, a lone CR or LF) made
// LF. A file another program holds is not read: a spreadsheet's lock file
// lies beside it, or on Windows another program has it open for writing. A
// file the player may read is read, whoever owns it.
FileProblem ReadTextFile(const std::filesystem::path& folder, std::string_view name, std::string& content);

// Reads the whole file's bytes as they are, line ends and all.
FileProblem ReadFileBytes(const std::filesystem::path& folder, std::string_view name, std::string& bytes);

// Replaces the file by one holding `content`: written beside it under
// another name and then renamed over it, so that a link is replaced rather
// than followed and a failed write leaves the old file whole.
FileProblem WriteWholeFile(const std::filesystem::path& folder, std::string_view name, std::string_view content);

// What the player is told, after the standard lines of a wait, when a file
// could not be used: one line naming the cause. `shown` is the file's name as
// the messages write it ("RESULTS.CSV"). When a lock file was the cause at
// the wait before as well (`lockStayed`), a second line says what it is and
// that it may be deleted.
std::vector<std::string> FileProblemLines(FileProblem problem, std::string_view name, std::string_view shown,
                                          bool writing, bool lockStayed);

// The tries at one file, one after another, while the player is asked to
// set it right: each outcome is recorded, and Why() gives the lines to show
// before the next try.
struct FileTries {
  std::string Name;   // as in the folder ("Results.csv")
  std::string Shown;  // as the messages write it ("RESULTS.CSV")
  bool Writing = false;
  FileProblem Last = FileProblem::kNone;
  int LockedInARow = 0;  // tries in a row that a lock file stopped

  // Records a try; true when it succeeded.
  bool Succeeded(FileProblem problem);
  // FileProblemLines of the last try, the lock file named once it has
  // stopped two tries in a row; nothing before the first failure.
  std::vector<std::string> Why() const;
};

// Every line end of `text` (CRLF, a lone CR or LF) made LF.
std::string WithLfLineEnds(std::string_view text);

// Whether `bytes` look like UTF-16 text rather than single-byte text: a
// UTF-16 byte-order mark, or a NUL byte, which CSV text never holds.
bool LooksLikeUtf16(std::string_view bytes);

}  // namespace plotwright
