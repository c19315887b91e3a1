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

// True when another program holds the file: it cannot be opened for reading
// and writing together (creating it if missing), or a spreadsheet's lock file
// (".~lock.NAME#") lies beside it.
bool IsHeldByAnotherProgram(const std::filesystem::path& folder, std::string_view name);

// Reads the whole file. Returns false if it cannot be opened.
bool ReadWholeFile(const std::filesystem::path& folder, std::string_view name, std::string& content);

// Replaces the file's contents. Returns false if it cannot be written.
bool WriteWholeFile(const std::filesystem::path& folder, std::string_view name, std::string_view content);

}  // namespace plotwright
