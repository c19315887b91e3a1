// The console's text cut into lines as it is printed, for those who hear the
// console (the game's record and its replay) and must agree on where each
// line ends.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace plotwright {

// A line is complete at its line end; a prompt's line stays open until the
// answer ends it.
class PrintedLines {
 public:
  // Adds printed text; `ended` hears each line it completes.
  template <typename Ended>
  void Add(std::string_view text, Ended ended) {
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
      open_.append(text.substr(0, end));
      End(ended);
      text.remove_prefix(end + 1);
    }
    open_.append(text);
  }
  // Ends the open line, if any text is in it.
  template <typename Ended>
  void EndOpenLine(Ended ended) {
    if (!open_.empty()) End(ended);
  }

 private:
  template <typename Ended>
  void End(Ended ended) {
    const std::string line = std::move(open_);
    open_.clear();
    ended(line);
  }
  std::string open_;
};

}  // namespace plotwright
