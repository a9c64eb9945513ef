#include "git/changed_lines.hpp"

#include <charconv>
#include <optional>
#include <vector>

#include <fmt/format.h>

#include "git/git_run.hpp"
#include "support/text.hpp"

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

std::string_view skip_leading_whitespace(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t next = pos;
    const auto c = decode_utf8_at(text, next);
    if (!c || !is_unicode_whitespace(*c)) break;
    pos = next;
  }
  return text.substr(pos);
}

std::string_view up_to_whitespace(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t next = pos;
    const auto c = decode_utf8_at(text, next);
    if (c && is_unicode_whitespace(*c)) break;
    pos = next;
  }
  return text.substr(0, pos);
}

// The first line number of the post-change side (0 when it is no number that fits), or nothing
// when the header holds no "+" at all, which leaves the counter as it was.
std::optional<std::uint64_t> hunk_start(std::string_view header) {
  const auto plus = header.find('+');
  if (plus == std::string_view::npos) return std::nullopt;
  std::string_view range = header.substr(plus + 1);
  range = range.substr(0, range.find('+'));
  std::string_view number = up_to_whitespace(skip_leading_whitespace(range));
  number = number.substr(0, number.find(','));
  std::uint64_t value = 0;
  const auto* first = number.data();
  const auto* last = number.data() + number.size();
  const auto [end, error] = std::from_chars(first, last, value);
  if (number.empty() || error != std::errc{} || end != last) return 0;
  return value;
}

bool is_ignored_header(std::string_view line) {
  static constexpr std::string_view kIgnored[] = {
      "--- ",          "diff --git",        "index ",
      "new file mode", "deleted file mode", "similarity index",
      "rename from",   "rename to",
  };
  for (const auto prefix : kIgnored) {
    if (line.starts_with(prefix)) return true;
  }
  return false;
}

}  // namespace

ChangedLines read_added_lines(std::string_view diff_text) {
  ChangedLines lines;
  std::optional<std::string> current_file;
  std::uint64_t counter = 0;
  for (const auto line : split_diff_lines(diff_text)) {
    if (line.starts_with("+++ b/")) {
      current_file = std::string(line.substr(6));
      counter = 0;
    } else if (line == "+++ /dev/null") {
      current_file.reset();
    } else if (is_ignored_header(line)) {
      continue;
    } else if (line.starts_with("@@ ")) {
      if (const auto start = hunk_start(line)) counter = *start;
    } else if (line.starts_with("+") && !line.starts_with("+++")) {
      if (current_file && counter != 0) lines[*current_file].insert(counter);
      ++counter;
    }
  }
  return lines;
}

ChangedLines strip_show_prefix(ChangedLines lines, std::string_view prefix) {
  if (prefix.empty()) return lines;
  ChangedLines stripped;
  for (auto& [path, numbers] : lines) {
    if (path.starts_with(prefix)) stripped.emplace(path.substr(prefix.size()), std::move(numbers));
  }
  return stripped;
}

Result<ChangedLines> changed_lines_since(const std::filesystem::path& project_dir,
                                         std::string_view revision) {
  // The revision comes after --end-of-options so that a value beginning with "-" is read as a
  // revision, never as an option (such as --output=FILE, which would make git write a file).
  auto diff = run_git(project_dir, {"diff", "--unified=0", "--no-color", "--end-of-options",
                                    std::string(revision)});
  if (auto* not_started = std::get_if<GitNotStarted>(&diff)) {
    return Failure{fmt::format("git diff: {}", not_started->message)};
  }
  if (auto* failed = std::get_if<GitFailed>(&diff)) {
    return Failure{fmt::format("git diff failed: {}", failed->stderr_text)};
  }
  ChangedLines lines = read_added_lines(std::get<GitSucceeded>(diff).stdout_text);

  auto prefix = run_git(project_dir, {"rev-parse", "--show-prefix"});
  if (auto* not_started = std::get_if<GitNotStarted>(&prefix)) {
    return Failure{fmt::format("git rev-parse --show-prefix: {}", not_started->message)};
  }
  if (auto* failed = std::get_if<GitFailed>(&prefix)) {
    return Failure{fmt::format("git rev-parse --show-prefix failed: {}", failed->stderr_text)};
  }
  return strip_show_prefix(std::move(lines),
                           trim_unicode_whitespace(std::get<GitSucceeded>(prefix).stdout_text));
}

}  // namespace quorvane
