#include "textio/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX  // the standard library's min and max, not windows.h's macros
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace plotwright {
namespace {

struct CloseFile {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, CloseFile>;

// Opens by the path's own characters, so that a folder named with any
// letters works on every system.
std::FILE* Open(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(path.c_str(), wideMode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

// Whether another program holds the file open for writing, as a spreadsheet
// on Windows holds the file it has open: an open that lets others only read
// then fails with a sharing violation. Nothing holds a file this way
// elsewhere; there a spreadsheet's lock file says it.
bool HeldByAnother(const std::filesystem::path& path) {
#ifdef _WIN32
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return false;
  }
  const DWORD error = GetLastError();
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
#else
  static_cast<void>(path);
  return false;
#endif
}

// The problem behind an errno of a failed open, write or close of `path`.
FileProblem ProblemOf(int error, const std::filesystem::path& path) {
  switch (error) {
    case ENOENT:
      return FileProblem::kMissing;
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return FileProblem::kDiskFull;
    case EACCES:
    case EPERM:
#ifdef EROFS
    case EROFS:
#endif
      // Windows refuses a file another program holds as if it may not be
      // written; a file or folder that really may not is no held file.
      return HeldByAnother(path) ? FileProblem::kHeld : FileProblem::kNoPermission;
    default:
      return FileProblem::kOther;
  }
}

#ifdef _WIN32
FileProblem WindowsProblem(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return FileProblem::kMissing;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return FileProblem::kHeld;
    case ERROR_ACCESS_DENIED:
      return FileProblem::kNoPermission;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FileProblem::kDiskFull;
    default:
      return FileProblem::kOther;
  }
}
#endif

// The bytes of the file at `path`. On Windows the file is opened to be read
// while others may only read it too, so that a file a spreadsheet holds open
// for writing is found held; a file the player may read is read, whoever
// owns it and whether or not it may be written.
FileProblem ReadBytes(const std::filesystem::path& path, std::string& bytes) {
#ifdef _WIN32
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return WindowsProblem(GetLastError());
  char buffer[65536];
  DWORD got = 0;
  bool read = true;
  while ((read = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return read ? FileProblem::kNone : FileProblem::kOther;
#else
  errno = 0;
  const FileHandle file(Open(path, "rb"));
  if (!file) return ProblemOf(errno, path);
  char buffer[65536];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) bytes.append(buffer, got);
  return std::ferror(file.get()) ? FileProblem::kOther : FileProblem::kNone;
#endif
}

}  // namespace

std::filesystem::path PathFromUtf8(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::filesystem::path PathInFolder(const std::filesystem::path& folder, std::string_view name) {
  return folder / PathFromUtf8(name);
}

bool FileExists(const std::filesystem::path& folder, std::string_view name) {
  std::error_code error;
  return std::filesystem::is_regular_file(PathInFolder(folder, name), error);
}

bool FolderExists(const std::filesystem::path& folder) {
  std::error_code error;
  return std::filesystem::is_directory(folder, error);
}

namespace {

bool EndsWith(const std::string& name, std::string_view suffix) {
  if (name.size() < suffix.size()) return false;
  for (std::size_t i = 0; i < suffix.size(); ++i) {
    const char c = name[name.size() - suffix.size() + i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != suffix[i]) return false;
  }
  return true;
}

std::string RelativeName(const std::filesystem::path& path, const std::filesystem::path& top) {
  const std::u8string relative = path.lexically_relative(top).generic_u8string();
  return std::string(relative.begin(), relative.end());
}

void Search(const std::filesystem::path& folder, const std::filesystem::path& top, std::string_view suffix,
            std::vector<FoundFile>& found) {
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  if (error) {
    found.push_back({RelativeName(folder, top) + "/", FoundFile::Kind::kUnreadableFolder});
    return;
  }
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    const std::string name = RelativeName(it->path(), top);
    std::error_code statusError;
    const std::filesystem::file_status own = it->symlink_status(statusError);
    const std::filesystem::file_status target = it->status(statusError);
    if (std::filesystem::is_directory(own)) Search(it->path(), top, suffix, found);
    if (!EndsWith(name, suffix)) continue;
    if (std::filesystem::is_symlink(own) && (statusError || !std::filesystem::exists(target))) {
      found.push_back({name, FoundFile::Kind::kBrokenLink});
    } else if (std::filesystem::is_regular_file(target)) {
      found.push_back({name, FoundFile::Kind::kFile});
    } else {
      found.push_back({name, FoundFile::Kind::kNotAFile});
    }
  }
  if (error) found.push_back({RelativeName(folder, top) + "/", FoundFile::Kind::kUnreadableFolder});
}

}  // namespace

std::vector<FoundFile> FilesBelow(const std::filesystem::path& folder, std::string_view suffix) {
  std::vector<FoundFile> found;
  Search(folder, folder, suffix, found);
  std::sort(found.begin(), found.end(), [](const FoundFile& a, const FoundFile& b) { return a.Name < b.Name; });
  return found;
}

std::string LockFileName(std::string_view name) {
  std::string lock = ".~lock.";
  lock.append(name).append("#");
  return lock;
}

FileProblem ReadTextFile(const std::filesystem::path& folder, std::string_view name, std::string& content) {
  if (!FileExists(folder, name)) return FileProblem::kMissing;
  if (FileExists(folder, LockFileName(name))) return FileProblem::kLockFile;
  std::string bytes;
  const FileProblem problem = ReadBytes(PathInFolder(folder, name), bytes);
  if (problem == FileProblem::kNone) content = WithLfLineEnds(bytes);
  return problem;
}

FileProblem ReadFileBytes(const std::filesystem::path& folder, std::string_view name, std::string& bytes) {
  if (!FileExists(folder, name)) return FileProblem::kMissing;
  bytes.clear();
  return ReadBytes(PathInFolder(folder, name), bytes);
}

FileProblem WriteWholeFile(const std::filesystem::path& folder, std::string_view name, std::string_view content) {
  if (FileExists(folder, LockFileName(name))) return FileProblem::kLockFile;
  const std::filesystem::path path = PathInFolder(folder, name);
  std::string freshName = ".";
  freshName.append(name).append(".new");
  const std::filesystem::path fresh = PathInFolder(folder, freshName);
  errno = 0;
  std::FILE* file = Open(fresh, "wb");
  if (file == nullptr) return ProblemOf(errno, folder);
  errno = 0;
  const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size() && std::fflush(file) == 0;
  const int writeError = errno;
  const bool closed = std::fclose(file) == 0;
  const int closeError = errno;
  std::error_code error;
  if (!written || !closed) {
    std::filesystem::remove(fresh, error);
    return ProblemOf(!written ? writeError : closeError, fresh);
  }
  std::filesystem::rename(fresh, path, error);
  if (error) {
    std::filesystem::remove(fresh, error);
    return HeldByAnother(path) ? FileProblem::kHeld : FileProblem::kNoPermission;
  }
  return FileProblem::kNone;
}

std::vector<std::string> FileProblemLines(FileProblem problem, std::string_view name, std::string_view shown,
                                          bool writing, bool lockStayed) {
  const std::string file(shown);
  switch (problem) {
    case FileProblem::kNone:
      return {};
    case FileProblem::kMissing:
      return {"   The game folder holds no " + file + " file"};
    case FileProblem::kLockFile:
      if (!lockStayed) return {"   A spreadsheet's lock file says that " + file + " is open"};
      return {"   A spreadsheet's lock file says that " + file + " is open: it is " + LockFileName(name),
              "   in the game folder; if no spreadsheet has " + file + " open, delete that file"};
    case FileProblem::kHeld:
      return {"   Another program holds " + file + " open"};
    case FileProblem::kNoPermission:
      return {"   " + file +
              (writing ? " cannot be written: the file or the game folder is read-only"
                       : " cannot be read: the game may not open it")};
    case FileProblem::kDiskFull:
      return {"   " + file + " cannot be written: the disk is full, or the file is too large for it"};
    case FileProblem::kOther:
      break;
  }
  return {"   " + file + (writing ? " cannot be written" : " cannot be read")};
}

bool FileTries::Succeeded(FileProblem problem) {
  Last = problem;
  LockedInARow = problem == FileProblem::kLockFile ? LockedInARow + 1 : 0;
  return problem == FileProblem::kNone;
}

std::vector<std::string> FileTries::Why() const {
  return FileProblemLines(Last, Name, Shown, Writing, LockedInARow >= 2);
}

std::string WithLfLineEnds(std::string_view text) {
  std::string lines;
  lines.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      lines += text[i];
    } else if (i + 1 == text.size() || text[i + 1] != '\n') {
      lines += '\n';
    }
  }
  return lines;
}

bool LooksLikeUtf16(std::string_view bytes) {
  if (bytes.rfind("\xFF\xFE", 0) == 0 || bytes.rfind("\xFE\xFF", 0) == 0) return true;
  return bytes.find('\0') != std::string_view::npos;
}

}  // namespace plotwright
