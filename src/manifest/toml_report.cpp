#include "manifest/toml_report.hpp"

#include <fmt/format.h>

#include "support/text.hpp"

namespace quorvane {
namespace {

// Line `number` (from 1) without its line break; empty past the end of the text.
std::string_view source_line(std::string_view text, std::uint32_t number) {
  std::size_t begin = 0;
  for (std::uint32_t line = 1; line < number; ++line) {
    const std::size_t newline = text.find('\n', begin);
    if (newline == std::string_view::npos) return {};
    begin = newline + 1;
  }
  std::size_t end = text.find('\n', begin);
  if (end == std::string_view::npos) end = text.size();
  std::string_view line = text.substr(begin, end - begin);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace

std::string render_toml_report(std::string_view text, const DocumentFailure& failure) {
  const std::uint32_t line = failure.at.line == 0 ? 1 : failure.at.line;
  const std::uint32_t column = failure.at.column == 0 ? 1 : failure.at.column;
  const std::string number = std::to_string(line);
  const std::string pad(number.size() + 1, ' ');
  // The text need not be valid UTF-8 here (a reading of git's output), the report must be.
  const std::string shown = decode_utf8_lossy(source_line(text, line));
  return fmt::format(
      "TOML parse error at line {0}, column {1}\n"
      "{2}|\n"
      "{0} | {3}\n"
      "{2}| {4}^\n"
      "{5}\n",
      number, column, pad, shown, std::string(column - 1, ' '), failure.description);
}

}  // namespace quorvane
