#include "textio/files.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

namespace plotwright {
namespace {

bool LockFileExists(const std::filesystem::path& folder, std::string_view name) {
  std::error_code error;
  return std::filesystem::exists(PathInFolder(folder, ".~lock." + std::string(name) + "#"), error);
}

}  // namespace

std::filesystem::path PathInFolder(const std::filesystem::path& folder, std::string_view name) {
  return folder / std::filesystem::path(std::string(name));
}

bool FileExists(const std::filesystem::path& folder, std::string_view name) {
  std::error_code error;
  return std::filesystem::is_regular_file(PathInFolder(folder, name), error);
}

bool CanOpenForUpdate(const std::filesystem::path& folder, std::string_view name, bool create) {
  if (LockFileExists(folder, name)) return false;
  // "a+" creates a missing file without truncating an existing one; "r+"
  // fails on a missing one. Both need read and write access.
  std::FILE* file = std::fopen(PathInFolder(folder, name).string().c_str(), create ? "a+" : "r+");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

bool ReadWholeFile(const std::filesystem::path& folder, std::string_view name, std::string& content) {
  std::ifstream in(PathInFolder(folder, name), std::ios::binary);
  if (!in) return false;
  content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool WriteWholeFile(const std::filesystem::path& folder, std::string_view name, std::string_view content) {
  if (LockFileExists(folder, name)) return false;
  std::ofstream out(PathInFolder(folder, name), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  out.close();
  return !out.fail();
}

}  // namespace plotwright
