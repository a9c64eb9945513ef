#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scan/comment_style.hpp"
#include "scan/comments.hpp"

namespace quorvane {

// Where the next tag candidate of a text may lie. A candidate (tags.hpp) is the content of a "["
// whose next bracket is a "]" on the same line, holding an arrow with a stage-shaped text before
// it; every candidate of a comment segment is such a content of its line, so a line without one
// records nothing, whatever its comments. Arrows are rarer in code than brackets, so the search
// goes from arrow to arrow and looks around each for its brackets; every byte is looked at a
// bounded number of times, however the brackets and arrows are laid out.
class CandidateSearch {
 public:
  explicit CandidateSearch(std::string_view text) : text_(text) {}

  // The position of the "[" of the first such content that begins at or after `pos`, or the
  // size of the text when there is none. `pos` is the start of a line, and no call asks for a
  // position before an earlier one.
  std::size_t find(std::size_t pos);

 private:
  // The first "[", "]" or line feed at or after `from`, or npos; kept until passed.
  std::size_t next_mark(std::size_t from);

  std::string_view text_;
  std::size_t answer_from_ = 0;  // the last answer holds for every position from here to it
  std::size_t answer_ = 0;
  bool answered_ = false;
  std::size_t arrows_from_ = 0;  // arrows before this have been looked at
  std::size_t looked_back_ = 0;  // the bytes before this have been looked at for marks...
  std::size_t last_mark_ = std::string_view::npos;  // ...and the last mark among them
  std::size_t mark_from_ = 0;                       // the kept answer of next_mark
  std::size_t mark_ = 0;
  bool mark_known_ = false;
};

// The lines of a file's text (as LineSplitter cuts them) that may yield a record or change the
// comment state, given the state at their start. Every line passed over is inert: it holds no
// candidate (see CandidateSearch) or no comment that could hold it, and it leaves the state as
// it was, so skipping it changes nothing. Inert are
// - every line after the last one that holds a candidate: nothing after it can be recorded, so
//   the comment state need not be followed any further;
// - C-like code: a line that lacks "/" or a candidate and either has no "/*" or ends with a "*/"
//   after its last "/*" (no block stays open; a comment without a candidate records nothing);
// - inside a block comment or an open Python string: a line without a candidate and without the
//   closing delimiter;
// - Python code: a line without a triple quote that lacks "#" or a candidate;
// - Hash: a line that lacks "#" or a candidate; Markdown: a line without a candidate.
// The bytes that decide are found by byte searches over the whole text, so inert lines cost no
// per-line work beyond counting their line feeds.
class RelevantLines {
 public:
  RelevantLines(std::string_view text, CommentStyle style)
      : text_(text), style_(style), candidates_(text) {}

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
  // `pos` that makes its line relevant by itself, `candidate` the first candidate there, which
  // makes its line relevant only together with `partner` (none: by itself too). Positions not
  // found are the text size.
  struct Triggers {
    std::size_t always;
    std::size_t candidate;
    char partner;
  };

  std::size_t find(Search& search, std::size_t pos) const;
  Triggers triggers(const CommentState& state, std::size_t pos, std::size_t candidate);

  std::string_view text_;
  CommentStyle style_;
  CandidateSearch candidates_;
  std::size_t pos_ = 0;            // start of the first line neither given nor passed over
  std::uint64_t line_number_ = 1;  // the number of that line
  bool done_ = false;
  Search block_start_{"/*"};
  Search block_end_{"*/"};
  Search triple_double_{R"(""")"};
  Search triple_single_{"'''"};
};

// The number of line feeds in `text`.
std::uint64_t count_line_feeds(std::string_view text);

}  // namespace quorvane
