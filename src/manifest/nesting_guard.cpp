#include "manifest/nesting_guard.hpp"

#include <cstdint>
#include <vector>

#include <fmt/format.h>

namespace quorvane {
namespace {

bool is_continuation_byte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

class NestingScanner {
 public:
  explicit NestingScanner(std::string_view text) : text_(text) {}

  std::optional<DocumentFailure> run() {
    while (!at_end()) {
      const char c = peek();
      if (c == ' ' || c == '\t' || c == '\r') {
        advance();
      } else if (c == '#') {
        skip_comment();
      } else if (c == '\n') {
        advance();
        if (frames_.empty()) expect_key_ = true;
      } else if (expect_key_) {
        if (!scan_key_position()) return failure_;
      } else {
        scan_value_character();
      }
    }
    return std::nullopt;
  }

 private:
  struct Frame {
    bool inline_table;
    std::size_t depth;  // tables above the frame's contents
  };

  bool at_end() const { return pos_ >= text_.size(); }
  char peek(std::size_t ahead = 0) const {
    return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
  }
  bool looking_at(std::string_view s) const { return text_.substr(pos_, s.size()) == s; }

  void advance() {
    if (text_[pos_] == '\n') {
      ++point_.line;
      point_.column = 1;
    } else if (pos_ + 1 >= text_.size() || !is_continuation_byte(text_[pos_ + 1])) {
      ++point_.column;
    }
    ++pos_;
  }

  void skip_comment() {
    while (!at_end() && peek() != '\n') advance();
  }

  void skip_blanks() {
    while (!at_end() && (peek() == ' ' || peek() == '\t')) advance();
  }

  // Strings of every kind; a single-line string also ends at a line break, so that a malformed
  // one cannot hide the rest of the document.
  void skip_string() {
    const char quote = peek();
    const bool basic = quote == '"';
    const std::string_view triple = basic ? "\"\"\"" : "'''";
    if (looking_at(triple)) {
      for (int i = 0; i < 3; ++i) advance();
      while (!at_end() && !looking_at(triple)) {
        if (basic && peek() == '\\') advance();
        if (!at_end()) advance();
      }
      for (int i = 0; i < 3 && !at_end(); ++i) advance();
      // Up to two quotes right before the closing ones belong to the content.
      for (int i = 0; i < 2 && peek() == quote; ++i) advance();
      return;
    }
    advance();
    while (!at_end() && peek() != quote && peek() != '\n') {
      if (basic && peek() == '\\') {
        advance();
        if (at_end() || peek() == '\n') break;
      }
      advance();
    }
    if (peek() == quote) advance();
  }

  static bool ends_bare_key(char c) {
    switch (c) {
      case ' ':
      case '\t':
      case '\r':
      case '\n':
      case '.':
      case '=':
      case '"':
      case '\'':
      case '#':
      case '[':
      case ']':
      case '{':
      case '}':
      case ',':
        return true;
      default:
        return false;
    }
  }

  // Counts the segments of a dotted key, failing once `base` plus the segments passes the limit.
  // Stops on the character after the last segment. False when the limit was passed.
  bool count_key_segments(std::size_t base, std::size_t& segments) {
    segments = 0;
    for (;;) {
      skip_blanks();
      if (at_end()) return true;
      const SourcePoint start = point_;
      if (peek() == '"' || peek() == '\'') {
        skip_string();
      } else {
        const std::size_t before = pos_;
        while (!at_end() && !ends_bare_key(peek())) advance();
        if (pos_ == before) return true;
      }
      ++segments;
      if (base + segments > kMaxNestedTables) {
        failure_ = DocumentFailure{
            fmt::format("exceeded maximum nesting depth of {} tables", kMaxNestedTables), start};
        return false;
      }
      skip_blanks();
      if (peek() != '.') return true;
      advance();
    }
  }

  bool scan_key_position() {
    if (frames_.empty() && peek() == '[') {
      advance();
      if (peek() == '[') advance();
      std::size_t segments = 0;
      if (!count_key_segments(0, segments)) return false;
      header_depth_ = segments;
      while (peek() == ']') advance();
      return true;
    }
    if (!frames_.empty() && peek() == '}') {
      close_frame();
      return true;
    }
    const std::size_t base = frames_.empty() ? header_depth_ : frames_.back().depth;
    std::size_t segments = 0;
    const std::size_t before = pos_;
    if (!count_key_segments(base, segments)) return false;
    if (peek() == '=') {
      advance();
      value_depth_ = base + segments;
      expect_key_ = false;
    } else if (pos_ == before && !at_end()) {
      advance();  // not a key; the parser will say so
    }
    return true;
  }

  void scan_value_character() {
    switch (peek()) {
      case '"':
      case '\'':
        skip_string();
        return;
      case '[':
        frames_.push_back({false, value_depth_});
        break;
      case '{':
        frames_.push_back({true, value_depth_});
        expect_key_ = true;
        break;
      case ']':
        if (!frames_.empty() && !frames_.back().inline_table) {
          close_frame();
          return;
        }
        break;
      case '}':
        if (!frames_.empty() && frames_.back().inline_table) {
          close_frame();
          return;
        }
        break;
      case ',':
        if (!frames_.empty() && frames_.back().inline_table) expect_key_ = true;
        break;
      default:
        break;
    }
    advance();
  }

  // Leaves the innermost array or inline table; what follows belongs to the enclosing value.
  void close_frame() {
    frames_.pop_back();
    advance();
    expect_key_ = false;
    if (!frames_.empty() && !frames_.back().inline_table) value_depth_ = frames_.back().depth;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  SourcePoint point_;
  std::vector<Frame> frames_;
  std::size_t header_depth_ = 0;
  std::size_t value_depth_ = 0;
  bool expect_key_ = true;
  std::optional<DocumentFailure> failure_;
};

}  // namespace

std::optional<DocumentFailure> find_excessive_table_nesting(std::string_view text) {
  return NestingScanner(text).run();
}

}  // namespace quorvane
