#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scan/comment_style.hpp"
#include "scan/comments.hpp"

namespace quorvane {

// The lines of a file's text (as LineSplitter cuts them) that may yield a record or change the
// comment state, given the state at their start. Every line passed over is inert: it yields no
// segment holding "[" and leaves the state as it was, so skipping it changes nothing. Inert are
// - C-like code: a line that lacks "/" or "[" and either has no "/*" or ends with a "*/" after
//   its last "/*" (no block stays open; a comment without "[" holds no candidate);
// - inside a block comment or an open Python string: a line without "[" and without the
//   closing delimiter;
// - Python code: a line without a triple quote that lacks "#" or "[";
// - Hash: a line that lacks "#" or "["; Markdown: a line without "[".
// The bytes that decide are found by byte searches over the whole text, so inert lines cost no
// per-line work beyond counting their line feeds.
class RelevantLines {
 public:
  RelevantLines(std::string_view text, CommentStyle style) : text_(text), style_(style) {}

  // The next relevant line (a view into the text, one trailing carriage return removed) and its
  // 1-based number; false once no line is left that could matter.
  bool next(const CommentState& state, std::string_view& line, std::uint64_t& line_number);

 private:
  // One byte search whose last answer is kept: the first hit at or after `from` is also the
  // first hit at or after any position up to it.
  struct Search {
    std::string_view needle;
    std::size_t from = 0;
    std::size_t hit = 0;
    bool known = false;
  };

  // Where the next line that may matter shows itself: `always` is the first byte at or after
  // `pos` that makes its line relevant by itself, `bracket` the first "[" there, which makes its
  // line relevant only together with `partner` (none: by itself too). Positions not found are
  // the text size.
  struct Triggers {
    std::size_t always;
    std::size_t bracket;
    char partner;
  };

  std::size_t find(Search& search, std::size_t pos) const;
  Triggers triggers(const CommentState& state, std::size_t pos);

  std::string_view text_;
  CommentStyle style_;
  std::size_t pos_ = 0;            // start of the first line neither given nor passed over
  std::uint64_t line_number_ = 1;  // the number of that line
  bool done_ = false;
  Search bracket_{"["};
  Search block_start_{"/*"};
  Search block_end_{"*/"};
  Search triple_double_{R"(""")"};
  Search triple_single_{"'''"};
};

// The number of line feeds in `text`.
std::uint64_t count_line_feeds(std::string_view text);

}  // namespace quorvane
