#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "scan/comment_style.hpp"

namespace quorvane {

// Carried from line to line within one file; fresh for every file.
struct CommentState {
  bool in_block = false;
  std::optional<std::string_view> open_delimiter;  // R"(""")" or "'''" when a Python string is open
};

// A view into the line, delimiters included.
using Segment = std::string_view;

// Appends the comment segments of `line` to `out` (cleared first), updating `state`.
void comment_segments(std::string_view line, CommentStyle style, CommentState& state,
                      std::vector<Segment>& out);

}  // namespace quorvane
