// The reader of `git diff --unified=0` output: which lines of which files were added.

#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "git/changed_lines.hpp"
#include "git/diff_header_path.hpp"

namespace quorvane {
namespace {

// Lines end at LF, with a CR right before it dropped too; a final unterminated piece is a line
// of its own and keeps any CR it ends with.
std::vector<std::string_view> split_diff_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    if (end == std::string_view::npos) {
      lines.push_back(text);
      break;
    }
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(end + 1);
  }
  return lines;
}

struct HunkRange {
  std::uint64_t old_count = 0;
  std::uint64_t new_start = 0;
  std::uint64_t new_count = 0;
};

// Reads a run of decimal digits off the front of `text`; nothing when there is none or it does
// not fit in 64 bits.
std::optional<std::uint64_t> read_number(std::string_view& text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end == text.data()) return std::nullopt;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return value;
}

// "START[,COUNT]" at the front of `text`, a missing count being 1; returns start and count.
std::optional<std::pair<std::uint64_t, std::uint64_t>> read_range(std::string_view& text) {
  const auto start = read_number(text);
  if (!start) return std::nullopt;
  if (!text.starts_with(',')) return std::pair{*start, std::uint64_t{1}};
  text.remove_prefix(1);
  const auto count = read_number(text);
  if (!count) return std::nullopt;
  return std::pair{*start, *count};
}

// "@@ -a[,b] +c[,d] @@" and whatever follows it; nothing when the numbers cannot be read.
std::optional<HunkRange> read_hunk_header(std::string_view line) {
  if (!line.starts_with("@@ -")) return std::nullopt;
  line.remove_prefix(4);
  const auto old_range = read_range(line);
  if (!old_range || !line.starts_with(" +")) return std::nullopt;
  line.remove_prefix(2);
  const auto new_range = read_range(line);
  if (!new_range || !line.starts_with(" @@")) return std::nullopt;
  return HunkRange{old_range->second, new_range->first, new_range->second};
}

// Line numbers start at 1, and the last of the range must fit in 64 bits.
bool numbers_fit(const HunkRange& range) {
  if (range.new_count == 0) return true;
  return range.new_start != 0 &&
         range.new_count - 1 <= std::numeric_limits<std::uint64_t>::max() - range.new_start;
}

class DiffReader {
 public:
  void read(std::string_view line) {
    if (in_body() && read_body_line(line)) return;
    read_header_line(line);
  }

  ChangedLines take_lines() { return std::move(lines_); }

 private:
  bool in_body() const { return old_left_ > 0 || new_left_ > 0; }

  // A hunk's body is exactly as many lines as its header counts on each side, whatever their
  // text: an added line reading "+++ b/x" is still an added line. Returns false, ending the
  // body, for a line that the counts leave no room for.
  bool read_body_line(std::string_view line) {
    const char kind = line.empty() ? ' ' : line.front();  // git reads an empty line as context
    if (kind == '+' && new_left_ > 0) {
      if (recording_ && current_file_) lines_[*current_file_].insert(counter_);
      ++counter_;
      --new_left_;
    } else if (kind == '-' && old_left_ > 0) {
      --old_left_;
    } else if (kind == ' ' && old_left_ > 0 && new_left_ > 0) {
      ++counter_;
      --old_left_;
      --new_left_;
    } else if (kind != '\\') {  // "\ No newline at end of file" belongs to the line before it
      old_left_ = 0;
      new_left_ = 0;
      return false;
    }
    return true;
  }

  // Outside a body only three headers matter; every other line (the other headers, git's notes on
  // modes, renames and binary files) is ignored.
  void read_header_line(std::string_view line) {
    if (line.starts_with("+++ ")) {
      // Only a readable new-side path names a file; anything else leaves none current, so that
      // no line is ever put under the previous file.
      auto path = read_diff_header_path(line.substr(4));
      if (path && path->starts_with("b/")) {
        current_file_ = path->substr(2);
      } else {
        current_file_.reset();
      }
    } else if (line.starts_with("diff --git")) {
      current_file_.reset();
    } else if (line.starts_with("@@ ")) {
      const auto range = read_hunk_header(line);
      // An unreadable header starts no body, and outside a body an added line counts for nothing.
      if (!range) return;
      old_left_ = range->old_count;
      new_left_ = range->new_count;
      counter_ = range->new_start;
      recording_ = numbers_fit(*range);
    }
  }

  ChangedLines lines_;
  std::optional<std::string> current_file_;
  std::uint64_t counter_ = 0;
  std::uint64_t old_left_ = 0;
  std::uint64_t new_left_ = 0;
  bool recording_ = false;
};

}  // namespace

ChangedLines read_added_lines(std::string_view diff_text) {
  DiffReader reader;
  for (const auto line : split_diff_lines(diff_text)) reader.read(line);
  return reader.take_lines();
}

}  // namespace quorvane
