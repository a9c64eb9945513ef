#pragma once

#include <string_view>

namespace quorvane {

// The lines of a file's text, in order: split at every line feed, one trailing carriage return
// removed from each; the piece after the last line feed is a line too, even when empty.
class LineSplitter {
 public:
  explicit LineSplitter(std::string_view text) : rest_(text) {}

  // The next line as a view into the text; false once every line has been given.
  bool next(std::string_view& line);

 private:
  std::string_view rest_;
  bool done_ = false;
};

}  // namespace quorvane
