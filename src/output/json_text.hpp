#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// Counts the bytes a document takes, so that it can then be written into a text of exactly
// that size.
class JsonSize {
 public:
  void append(std::string_view text) { size_ += text.size(); }
  void append(std::size_t count, char) { size_ += count; }
  void push_back(char) { ++size_; }
  std::size_t size() const { return size_; }

 private:
  std::size_t size_ = 0;
};

// Writes into memory the caller has sized beforehand (with JsonSize); no bound is checked.
class JsonBytes {
 public:
  explicit JsonBytes(char* out) : out_(out) {}
  void append(std::string_view text) {
    std::memcpy(out_, text.data(), text.size());
    out_ += text.size();
  }
  void append(std::size_t count, char c) {
    std::memset(out_, c, count);
    out_ += count;
  }
  void push_back(char c) { *out_++ = c; }
  const char* end() const { return out_; }

 private:
  char* out_;
};

namespace json_detail {

// A text as it stands inside the quotation marks, for a text that needs escaping or holds
// invalid UTF-8 (replaced as the JSON library's replacing dump writes it).
std::string escaped_text(std::string_view text);

// True when every byte of `text` is printable ASCII other than the quotation mark and the
// backslash, so that the text is written unchanged.
bool is_plain_text(std::string_view text);

}  // namespace json_detail

// Writes JSON in the pretty form of a two-space indentation unit: every member and element on a
// line of its own, "{}" and "[]" for empty containers, no line break after the last bracket.
// In texts the quotation mark, the backslash and \b \t \n \f \r get their short escapes, other
// characters below U+0020 \u00xx, everything else stays as it is; a text that is not valid UTF-8
// is written with each invalid sequence replaced by U+FFFD, as the JSON library's replacing
// dump writes it. The layout and the texts are those of the library's dump with indent 2.
template <class Sink>
class JsonText {
 public:
  explicit JsonText(Sink& sink) : sink_(sink) {}

  void begin_object() { open('{'); }
  void end_object() { close('}'); }
  void begin_array() { open('['); }
  void end_array() { close(']'); }

  // The key of the next member of the innermost object; its value follows.
  void key(std::string_view name) {
    next_line();
    write_text(name);
    sink_.append(": ");
    after_key_ = true;
  }

  void value(std::string_view text) {
    before_value();
    write_text(text);
  }
  void value(std::uint64_t number) {
    before_value();
    char digits[20];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    sink_.append(std::string_view(digits, static_cast<std::size_t>(end - digits)));
  }
  void value(bool flag) {
    before_value();
    sink_.append(flag ? std::string_view("true") : std::string_view("false"));
  }
  // A literal would otherwise turn into a boolean.
  void value(const char*) = delete;

  // Shorthands for a member with a scalar value.
  void member(std::string_view name, std::string_view text) {
    key(name);
    value(text);
  }
  void member(std::string_view name, std::uint64_t number) {
    key(name);
    value(number);
  }
  void member(std::string_view, const char*) = delete;
  void member(std::string_view name, bool flag) {
    key(name);
    value(flag);
  }

 private:
  void open(char bracket) {
    before_value();
    sink_.push_back(bracket);
    empty_.push_back(true);
  }

  void close(char bracket) {
    const bool empty = empty_.back();
    empty_.pop_back();
    if (!empty) line_break(empty_.size());
    sink_.push_back(bracket);
  }

  void line_break(std::size_t depth) {
    sink_.push_back('\n');
    sink_.append(depth * 2, ' ');
  }

  // A new member or element: the separator after the one before, a line break, the indentation.
  void next_line() {
    if (!empty_.back()) sink_.push_back(',');
    empty_.back() = false;
    line_break(empty_.size());
  }

  // Before a value: in an array it starts a new element; after a key it follows directly.
  void before_value() {
    if (after_key_) {
      after_key_ = false;
      return;
    }
    if (!empty_.empty()) next_line();
  }

  void write_text(std::string_view text) {
    sink_.push_back('"');
    if (json_detail::is_plain_text(text)) {
      sink_.append(text);
    } else {
      sink_.append(json_detail::escaped_text(text));
    }
    sink_.push_back('"');
  }

  Sink& sink_;
  std::vector<bool> empty_;  // per open container: nothing written in it yet
  bool after_key_ = false;
};

// The text `write` composes through a JsonText, measured first and then written into a text of
// exactly its size, so that a large report is neither copied as it grows nor holds spare room.
template <class Write>
std::string compose_json(Write write, void (*prepare)(std::string& buffer) = nullptr) {
  JsonSize size;
  {
    JsonText<JsonSize> json(size);
    write(json);
  }
  std::string out;
  out.reserve(size.size());
  if (prepare != nullptr) prepare(out);
  out.resize(size.size());
  JsonBytes bytes(out.data());
  JsonText<JsonBytes> json(bytes);
  write(json);
  return out;
}

}  // namespace quorvane
