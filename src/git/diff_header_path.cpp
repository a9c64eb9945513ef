#include "git/diff_header_path.hpp"

#include <utility>

#include "support/text.hpp"

namespace quorvane {
namespace {

bool is_octal_digit(char c) {
  return c >= '0' && c <= '7';
}

// Backslash escapes of one character, and the byte each stands for.
constexpr std::pair<char, char> kNamedEscapes[] = {
    {'"', '"'},  {'\\', '\\'}, {'a', '\a'}, {'b', '\b'}, {'t', '\t'},
    {'n', '\n'}, {'v', '\v'},  {'f', '\f'}, {'r', '\r'},
};

// The escape after a backslash at the front of `text`, consumed from it; nothing when it is none
// of git's.
std::optional<char> read_escape(std::string_view& text) {
  if (text.empty()) return std::nullopt;
  for (const auto& [letter, byte] : kNamedEscapes) {
    if (text.front() == letter) {
      text.remove_prefix(1);
      return byte;
    }
  }
  // Three octal digits make one byte, so the first is at most 3.
  if (text.size() < 3 || text[0] < '0' || text[0] > '3' || !is_octal_digit(text[1]) ||
      !is_octal_digit(text[2])) {
    return std::nullopt;
  }
  const int value = (text[0] - '0') * 64 + (text[1] - '0') * 8 + (text[2] - '0');
  text.remove_prefix(3);
  return static_cast<char>(value);
}

// `text` starts after the opening quote; on success it is left after the closing one.
std::optional<std::string> unquote(std::string_view& text) {
  std::string bytes;
  while (!text.empty()) {
    const char c = text.front();
    text.remove_prefix(1);
    if (c == '"') return bytes;
    if (c != '\\') {
      bytes.push_back(c);
      continue;
    }
    const auto escaped = read_escape(text);
    if (!escaped) return std::nullopt;
    bytes.push_back(*escaped);
  }
  return std::nullopt;  // no closing quote
}

}  // namespace

std::optional<std::string> read_diff_header_path(std::string_view field) {
  if (!field.starts_with('"')) {
    // A tab is always quoted, so the first one ends a plain path.
    return std::string(field.substr(0, field.find('\t')));
  }
  field.remove_prefix(1);
  auto bytes = unquote(field);
  if (!bytes || !(field.empty() || field.starts_with('\t'))) return std::nullopt;
  return decode_utf8_lossy(*bytes);
}

}  // namespace quorvane
