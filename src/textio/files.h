// Files of the game folder: existence, the "held by another program" test,
// and whole-file reads and writes. Every file is opened, read or written to
// the end, and closed before the next one is touched.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace plotwright {

std::filesystem::path PathInFolder(const std::filesystem::path& folder, std::string_view name);

bool FileExists(const std::filesystem::path& folder, std::string_view name);

// Whether the file can be opened for reading and writing together, as a file
// no other program holds can be. A spreadsheet's lock file (".~lock.NAME#")
// beside it counts as held too, since on Linux and macOS the spreadsheet does
// not stop others from opening the file. With `create`, a missing file is
// created empty; without it, a missing file cannot be opened.
bool CanOpenForUpdate(const std::filesystem::path& folder, std::string_view name, bool create);

// Reads the whole file. Returns false if it cannot be opened.
bool ReadWholeFile(const std::filesystem::path& folder, std::string_view name, std::string& content);

// Replaces the file's contents, creating it if missing. Returns false if it
// is held by another program or cannot be written.
bool WriteWholeFile(const std::filesystem::path& folder, std::string_view name, std::string_view content);

}  // namespace plotwright
