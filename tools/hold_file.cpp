// Usage: hold_file FILE
// Holds FILE open the way a spreadsheet holds the file it has open on
// Windows: other programs may still open it to read, but not to write, nor
// rename another file over it. Prints "holding FILE" once it holds the file, then
// lets go when a line arrives on standard input or the input ends, prints
// "released FILE" and exits with status 0. A file that cannot be held (it
// is missing, or another program holds it already) gives status 1.
// Built for Windows only: the tests and scripted games use it to play the
// player who forgot to close Results.csv.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
  bytes.pop_back();  // the terminating NUL
  return bytes;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fputs("usage: hold_file FILE\n", stderr);
    return 2;
  }
  const std::string name = Utf8(argv[1]);
  // Shared for reading only: while this handle lives, every other open for
  // writing fails, and so does replacing the file, but a plain read works.
  const HANDLE file = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "hold_file: cannot hold %s (Windows error %lu)\n", name.c_str(), GetLastError());
    return 1;
  }
  std::printf("holding %s\n", name.c_str());
  std::fflush(stdout);
  for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar()) {
  }
  CloseHandle(file);
  std::printf("released %s\n", name.c_str());
  std::fflush(stdout);
  return 0;
}
