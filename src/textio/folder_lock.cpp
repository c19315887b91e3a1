#include "textio/folder_lock.h"

#include <string>

#include "textio/files.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX  // the standard library's min and max, not windows.h's macros
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#elif !defined(__EMSCRIPTEN__)
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace plotwright {
namespace {

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
bool NotAllowed(int error) { return error == EACCES || error == EPERM || error == EROFS; }

// Whether a new file can be made in the folder: made and removed again.
bool CanWriteIn(const std::filesystem::path& folder) {
  const std::filesystem::path probe = folder / (".plotwright-write-test-" + std::to_string(getpid()));
  const int descriptor = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (descriptor < 0) return !NotAllowed(errno);
  close(descriptor);
  unlink(probe.c_str());
  return true;
}
#endif

}  // namespace

FolderLock::FolderLock(const std::filesystem::path& folder) {
  const std::filesystem::path lock = PathInFolder(folder, kFolderLockFile);
#ifdef _WIN32
  // Opened without sharing and deleted when closed: a second game's open
  // fails with a sharing violation, and nothing is left behind.
  const HANDLE handle = CreateFileW(lock.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    status_ = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? Status::kBusy : Status::kNotWritable;
    return;
  }
  handle_ = handle;
#elif defined(__EMSCRIPTEN__)
  // Each page holds its own folder in memory: there is no other game to meet.
  static_cast<void>(lock);
#else
  if (!CanWriteIn(folder)) {
    status_ = Status::kNotWritable;
    return;
  }
  descriptor_ = open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  // Another user's lock file is still a lock: it can be held for reading.
  if (descriptor_ < 0 && NotAllowed(errno)) descriptor_ = open(lock.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor_ < 0) {
    status_ = Status::kNotWritable;
    return;
  }
  // A file system that keeps no locks (some network shares) still lets the
  // game be played, only without the guard against a second game.
  if (flock(descriptor_, LOCK_EX | LOCK_NB) != 0) status_ = errno == EWOULDBLOCK ? Status::kBusy : Status::kHeld;
#endif
}

FolderLock::~FolderLock() {
#ifdef _WIN32
  if (handle_ != nullptr) CloseHandle(static_cast<HANDLE>(handle_));
#elif !defined(__EMSCRIPTEN__)
  if (descriptor_ >= 0) close(descriptor_);
#endif
}

}  // namespace plotwright
