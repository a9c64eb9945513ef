// A `git diff --unified=0` text (and, before the first NUL byte when there is one, the prefix
// printed by `git rev-parse --show-prefix`) through the diff reader and the prefix strip.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "git/changed_lines.hpp"
#include "platform/utf8_check.hpp"

namespace {

using namespace quorvane;

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

// A quoted path may hold any byte, a line feed included, but it is decoded: from a diff text in
// UTF-8 no path can come out that is not.
void check_entries(const ChangedLines& lines, bool input_is_utf8) {
  for (const auto& [path, numbers] : lines) {
    if (numbers.empty()) fail("a path with no added line");
    if (numbers.contains(0)) fail("line number 0");
    if (input_is_utf8 && !platform::is_valid_utf8(path)) fail("a path that is not UTF-8");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = input.find('\0');
  const std::string_view prefix = nul == std::string_view::npos ? "" : input.substr(0, nul);
  const std::string_view diff = nul == std::string_view::npos ? input : input.substr(nul + 1);

  const ChangedLines lines = read_added_lines(diff);
  const bool input_is_utf8 = platform::is_valid_utf8(diff);
  check_entries(lines, input_is_utf8);

  const ChangedLines stripped = strip_show_prefix(lines, prefix);
  check_entries(stripped, input_is_utf8);
  if (stripped.size() > lines.size()) fail("stripping added paths");
  for (const auto& [path, numbers] : stripped) {
    const auto original = lines.find(std::string(prefix) + path);
    if (original == lines.end()) fail("a stripped path that no read path gives");
    if (original->second != numbers) fail("stripping changed a path's lines");
  }
  if (prefix.empty() && stripped != lines) fail("an empty prefix changed the lines");
  return 0;
}
