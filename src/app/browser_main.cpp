// plotwright in a web page: the game's console is the page's terminal.
//
// The page's engine (web/plotwright-worker.js, in a Web Worker) creates one
// module for each run of the game, with the command line in Module.arguments
// and Crosses.csv already in the module's folder. Console output goes to
// Module.writeConsole as bytes; each read awaits Module.readConsole, which
// resolves when the player has typed a line (or pressed Done on the results
// table). Asyncify unwinds the C++ stack while the page waits and rewinds it
// after, so the game's code is the same as on a console.
#include <emscripten.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <istream>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "app/options.h"

// Waits for console input and copies up to `capacity` bytes of it to
// `buffer`; returns how many, or 0 when the page ends the input.
EM_ASYNC_JS(int, plotwright_read_console, (char* buffer, int capacity), {
  const bytes = await Module.readConsole(capacity);
  HEAPU8.set(bytes, buffer);
  return bytes.length;
});

// Hands `size` bytes of console output to the page; `stream` is 1 for the
// output, 2 for the error stream.
EM_JS(void, plotwright_write_console, (int stream, const char* data, int size),
      { Module.writeConsole(stream, HEAPU8.slice(data, data + size)); });

// Tells the page that the game has ended with exit status `status`.
EM_JS(void, plotwright_game_ended, (int status), { Module.gameEnded(status); });

namespace {

// The page's console input, read as the player's lines arrive.
class PageInput : public std::streambuf {
 public:
  // Whether a read has waited for the page.
  bool Awaited() const { return awaited_; }

 protected:
  int_type underflow() override {
    awaited_ = true;
    const int count = plotwright_read_console(buffer_.data(), static_cast<int>(buffer_.size()));
    if (count <= 0) return traits_type::eof();
    setg(buffer_.data(), buffer_.data(), buffer_.data() + count);
    return traits_type::to_int_type(*gptr());
  }

 private:
  std::array<char, 4096> buffer_{};
  bool awaited_ = false;
};

// The page's console output, handed on a whole line at a time, and a
// prompt when the game flushes it (before every wait): the page shows a
// "Please wait" line while the game computes, and a prompt arrives whole.
class PageOutput : public std::streambuf {
 public:
  explicit PageOutput(int stream) : stream_(stream) {}

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char text = traits_type::to_char_type(c);
    xsputn(&text, 1);
    return c;
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    pending_.insert(pending_.end(), text, text + count);
    if (std::find(text, text + count, '\n') != text + count) HandOn();
    return count;
  }
  int sync() override {
    HandOn();
    return 0;
  }

 private:
  void HandOn() {
    if (!pending_.empty()) plotwright_write_console(stream_, pending_.data(), static_cast<int>(pending_.size()));
    pending_.clear();
  }

  int stream_;
  std::vector<char> pending_;
};

}  // namespace

int main(int argc, char** argv) {
  PageInput inputBuffer;
  PageOutput outputBuffer(1);
  PageOutput errorBuffer(2);
  std::istream in(&inputBuffer);
  std::ostream out(&outputBuffer);
  std::ostream err(&errorBuffer);
  plotwright::Console console = plotwright::MakeConsole(in, out, err);
  const int status = plotwright::RunCommandLine(std::vector<std::string>(argv + 1, argv + argc), console,
                                                std::filesystem::current_path());
  out.flush();
  err.flush();
  // After a read has waited for the page, main's return no longer reaches
  // the module's exit, and forcing the exit would throw through the page's
  // promise of the input: the page is told itself. A run that never waited
  // (the founders table, the check of the crosses) exits as usual.
  if (inputBuffer.Awaited()) plotwright_game_ended(status);
  return status;
}
