// One file's text through line splitting, comment extraction and tag recognition in every
// comment style: the records that come out must be ones the trace can rely on, and the same as
// when every line is looked at.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "manifest/stages.hpp"
#include "scan/comment_style.hpp"
#include "scan/comments.hpp"
#include "scan/lines.hpp"
#include "scan/scanner.hpp"
#include "scan/tags.hpp"

namespace {

using namespace quorvane;

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

const StageSet& fuzz_stages() {
  static const StageSet stages = all_stages({StageDef{"review", std::nullopt}});
  return stages;
}

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  LineSplitter splitter(text);
  std::string_view line;
  while (splitter.next(line)) lines.push_back(line);
  return lines;
}

void check_lines(std::string_view text, const std::vector<std::string_view>& lines) {
  const auto feeds = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  if (lines.size() != feeds + 1) fail("line count is not the number of line feeds plus one");
  for (const std::string_view line : lines) {
    if (line.find('\n') != std::string_view::npos) fail("a line holds a line feed");
    if (line.data() < text.data() || line.data() + line.size() > text.data() + text.size()) {
      fail("a line is no view into the text");
    }
  }
}

void check_result(const ScanResult& result, const std::vector<std::string_view>& lines,
                  const std::string& path) {
  const StageSet& stages = fuzz_stages();
  std::uint64_t previous_line = 0;
  std::vector<std::pair<std::string, std::string>> on_line;
  for (const Tag& tag : result.tags) {
    if (!stages.contains(tag.stage)) fail("a tag's stage is not a known stage");
    if (!is_tag_id(tag.id)) fail("a tag's id fails the id grammar");
    if (tag.path != path) fail("a tag carries another path");
    if (tag.line == 0 || tag.line > lines.size()) fail("a tag's line is out of range");
    if (tag.line < previous_line) fail("tags out of line order");
    if (tag.line != previous_line) on_line.clear();
    previous_line = tag.line;
    std::pair<std::string, std::string> pair{tag.stage, tag.id};
    if (std::find(on_line.begin(), on_line.end(), pair) != on_line.end()) {
      fail("a line yields one (stage, id) pair twice");
    }
    on_line.push_back(std::move(pair));
    const std::string written = "[" + tag.stage + "->" + tag.id + "]";
    if (lines[tag.line - 1].find(written) == std::string_view::npos) {
      fail("a tag is not written on its line");
    }
  }
  previous_line = 0;
  for (const ParseError& error : result.parse_errors) {
    if (error.path != path) fail("a parse error carries another path");
    if (error.line == 0 || error.line > lines.size()) fail("a parse error's line is out of range");
    if (error.line <= previous_line) fail("two parse errors on one line, or out of order");
    previous_line = error.line;
    if (lines[error.line - 1].find('[') == std::string_view::npos) {
      fail("a parse error on a line without a bracket");
    }
  }
  if (!result.scan_errors.empty()) fail("scanning text recorded a scan error");
}

// Every line in turn through the same steps, with nothing skipped: what a file scan records
// must not depend on which lines it chose to pass over.
ScanResult scan_every_line(const std::vector<std::string_view>& lines, CommentStyle style,
                           const std::string& path) {
  ScanResult result;
  CommentState state;
  std::vector<Segment> segments;
  std::uint64_t line_number = 0;
  for (const std::string_view line : lines) {
    ++line_number;
    comment_segments(line, style, state, segments);
    if (!segments.empty()) recognize_line(segments, line_number, path, fuzz_stages(), result);
  }
  return result;
}

void check_same(const ScanResult& scanned, const ScanResult& reference) {
  if (scanned.tags.size() != reference.tags.size()) fail("tag count differs line by line");
  for (std::size_t i = 0; i < scanned.tags.size(); ++i) {
    const Tag& a = scanned.tags[i];
    const Tag& b = reference.tags[i];
    if (a.stage != b.stage || a.id != b.id || a.line != b.line) fail("a tag differs line by line");
  }
  if (scanned.parse_errors.size() != reference.parse_errors.size()) {
    fail("parse error count differs line by line");
  }
  for (std::size_t i = 0; i < scanned.parse_errors.size(); ++i) {
    if (scanned.parse_errors[i].line != reference.parse_errors[i].line) {
      fail("a parse error differs line by line");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string_view> lines = split_lines(text);
  check_lines(text, lines);

  static constexpr std::array kStyles = {CommentStyle::CLike, CommentStyle::Python,
                                         CommentStyle::Markdown, CommentStyle::Hash};
  const std::string path = "src/fuzzed.txt";
  for (const CommentStyle style : kStyles) {
    ScanResult result;
    scan_file(text, style, path, fuzz_stages(), result);
    check_result(result, lines, path);
    check_same(result, scan_every_line(lines, style, path));
  }
  return 0;
}
