#pragma once

#include <span>
#include <string>
#include <string_view>

namespace quorvane {

// Appends each line and a line feed after it: prompts end every line, the last one included,
// with "\n" and never with "\r\n".
inline void append_lines(std::string& out, std::span<const std::string_view> lines) {
  for (std::string_view line : lines) {
    out += line;
    out += '\n';
  }
}

inline void append_line(std::string& out, std::string_view line) {
  out += line;
  out += '\n';
}

}  // namespace quorvane
