// A game's hold on its folder: one game per folder, for the game's whole
// life. The hold is the operating system's lock on a small file in the
// folder, so a crash, a closed window or a power cut frees it with the game;
// a lock file that merely exists (left by a game that ended) holds nothing.
#pragma once

#include <filesystem>

namespace plotwright {

class FolderLock {
 public:
  enum class Status {
    kHeld,         // this game holds the folder
    kBusy,         // another game holds it
    kNotWritable,  // the game may not write in the folder at all
  };

  // Tries to take the folder. The lock is let go when the object goes.
  explicit FolderLock(const std::filesystem::path& folder);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  Status Taken() const { return status_; }

 private:
  Status status_ = Status::kHeld;
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int descriptor_ = -1;
#endif
};

// The file whose lock holds the folder.
inline constexpr const char* kFolderLockFile = ".plotwright-game.lock";

}  // namespace plotwright
