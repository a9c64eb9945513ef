#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "scan/comments.hpp"
#include "scan/lines.hpp"
#include "scan/relevant_lines.hpp"
#include "scan/scanner.hpp"
#include "scan/tags.hpp"

namespace quorvane {
namespace {

constexpr std::array kStyles = {CommentStyle::CLike, CommentStyle::Python, CommentStyle::Markdown,
                                CommentStyle::Hash};

StageSet stages() {
  return StageSet{"doc", "impl", "unit", "int"};
}

// Every line through comment extraction and recognition, none passed over: what scan_file must
// give however it finds the lines that matter.
ScanResult scan_every_line(std::string_view text, CommentStyle style) {
  const StageSet known = stages();
  ScanResult result;
  CommentState state;
  std::vector<Segment> segments;
  LineSplitter lines(text);
  std::string_view line;
  std::uint64_t number = 0;
  while (lines.next(line)) {
    comment_segments(line, style, state, segments);
    recognize_line(segments, ++number, "f", known, result);
  }
  return result;
}

std::vector<std::string> describe(const ScanResult& result) {
  std::vector<std::string> out;
  for (const Tag& t : result.tags) {
    out.push_back("tag " + std::to_string(t.line) + " " + t.stage + "->" + t.id);
  }
  for (const ParseError& e : result.parse_errors) out.push_back("parse " + std::to_string(e.line));
  return out;
}

void expect_same_as_every_line(std::string_view text) {
  for (const CommentStyle style : kStyles) {
    ScanResult fast;
    scan_file(text, style, "f", stages(), fast);
    EXPECT_EQ(describe(fast), describe(scan_every_line(text, style)))
        << "style " << static_cast<int>(style) << ", text:\n"
        << text;
  }
}

TEST(RelevantLines, ScanMatchesLineByLineOnCommentShapes) {
  const std::vector<std::string> texts = {
      "",
      "[impl->REQ-A-1]",
      "code\n// [impl->REQ-A-1]\n\nx = 1 # [doc->REQ-B-2]\n",
      "/* [impl->REQ-1]\nmiddle [unit->REQ-2]\n [x]\nend */ code // [int->REQ-3]\n[doc->REQ-4]\n",
      "s = \"/* not a comment\" // [impl->REQ-1]\n/* a */ b /* [unit->REQ-2] */\n",
      "c = '\"'; // [impl->REQ-1]\n\"esc \\\" quote\" // [doc->REQ-2]\n",
      "/*\n\n\n[impl->REQ-1]\n*\n/\n*/ [unit->REQ-2]\n// [doc->REQ-3]",
      "a /*/ b\n[impl->REQ-1] */ c\nx /* y */ z /* w\n[unit->REQ-2]\n*/\n\"*/\" /* q "
      "*/\n[doc->REQ-3]*/",
      "\"\"\"doc\n[impl->REQ-1]\nend\"\"\" x # [unit->REQ-2]\n'''a\n[doc->REQ-3] '''\n",
      "x = '''one''' \"\"\"two [impl->REQ-1]\n\"\"\" # [doc->REQ-2]\n# '''\n[unit->REQ-3]\n",
      "line\r\n// [impl->REQ-1]\r\n/* [doc -> REQ-2]\r\n*/\r\n",
      "\xEF\xBB\xBF# [impl->REQ-1]\n## [impl->REQ-1] [impl->REQ-1] [bad ->x]\n",
      "a\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n// [impl->REQ-9]",
      // Where candidates may lie: across lines, between brackets, behind Unicode white space.
      "/* open\n[impl->REQ-1] */ x\n",
      "x = \"[impl->REQ-1]\" /*\n */ // [doc->REQ-2]\n",
      "// [\xE2\x80\x83impl->REQ-1] [\xC2\xA0->REQ-2] [a]->[b]\n",
      "// [a->\nb] [impl->\n// REQ-1]\n",
      "// [impl->REQ-1]\r\n/* [doc->REQ-2]\r\n",
      "/*\n*/\n/*\n*/\n/* [x->y]\n\n*/ // [impl->REQ-1]\n/* no more candidates\n",
      "\"\"\"\n[impl->REQ-1]\n\"\"\" # [doc->REQ-2]\n'''\n'''\nx = 1 # [a->b]\n",
      "code(a[b->c]); // [impl->REQ-1] and a[i->j]\n/* p[q->r] */ s[t->u];\n",
  };
  for (const std::string& text : texts) expect_same_as_every_line(text);
}

TEST(RelevantLines, ScanMatchesLineByLineOnRandomTexts) {
  // Pieces that open, close or fake comments, strings and tags, and break lines.
  const std::vector<std::string_view> pieces = {
      "/",
      "*",
      "/*",
      "*/",
      "//",
      "\"",
      "'",
      "\\",
      "#",
      "\"\"\"",
      "'''",
      "[",
      "]",
      "->",
      " ",
      "\n",
      "\r\n",
      "\r",
      "x",
      "impl",
      "REQ-A-1",
      "[impl->REQ-A-1]",
      "[doc->REQ-B]",
      "[impl -> REQ-1]",
      "[unit->REQ-]",
      "[Impl->REQ-2]",
      "\t",
      "\xC2\xA0",
      "[int->REQ-C-3]",
      "[a->",
      "-",
      ">",
      "\xE2\x80\x83",
      "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
  };
  std::mt19937 random(20240611);
  for (int round = 0; round < 3000; ++round) {
    const std::size_t length = random() % 120;
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += pieces[random() % pieces.size()];
    expect_same_as_every_line(text);
    if (HasFailure()) return;  // one counterexample is enough
  }
}

TEST(RelevantLines, FindsDelimitersAndArrowsAtEveryOffset) {
  // Long searches go sixteen and sixty-four bytes at a time: each delimiter, and the arrow of a
  // tag, must be found wherever it falls in such a block, also next to a decoy of its last byte.
  const std::vector<std::string> tails = {
      " // [impl->REQ-1]\n",
      "/*\n[impl->REQ-1]\n*/ // [doc->REQ-2]\n",
      "\"\"\"\n[impl->REQ-1]\n\"\"\" # [doc->REQ-2]\n",
      "'''\n[impl->REQ-1]\n''' # [doc->REQ-2]\n",
      "> - > [impl->REQ-1] # x\n",
  };
  for (const std::string& tail : tails) {
    for (std::size_t offset = 0; offset < 200; ++offset) {
      std::string text(offset, 'x');
      if (offset % 3 == 1) text[offset / 2] = '>';
      text += tail;
      text += std::string(offset % 70, 'y');
      expect_same_as_every_line(text);
      if (HasFailure()) return;  // one counterexample is enough
    }
  }
}

// The C-like rules one byte at a time: what the searching extraction must give.
void clike_segments_bytewise(std::string_view line, CommentState& state,
                             std::vector<Segment>& out) {
  out.clear();
  const std::size_t n = line.size();
  std::size_t block_start = 0;
  bool in_string = false;
  std::size_t i = 0;
  while (i < n) {
    const char c = line[i];
    if (state.in_block) {
      if (c == '*' && i + 1 < n && line[i + 1] == '/') {
        out.push_back(line.substr(block_start, i + 2 - block_start));
        state.in_block = false;
        i += 2;
      } else {
        ++i;
      }
    } else if (in_string) {
      if (c == '\\' && i + 1 < n) {
        i += 2;
        continue;
      }
      if (c == '"') in_string = false;
      ++i;
    } else if (c == '"') {
      in_string = true;
      ++i;
    } else if (c == '/' && i + 1 < n && line[i + 1] == '*') {
      state.in_block = true;
      block_start = i;
      i += 2;
    } else if (c == '/' && i + 1 < n && line[i + 1] == '/') {
      out.push_back(line.substr(i));
      return;
    } else {
      ++i;
    }
  }
  if (state.in_block) out.push_back(line.substr(block_start));
}

using Lexer = void (*)(std::string_view, CommentState&, std::vector<Segment>&);

// Random lines made of `pieces`, each begun in one of the `starts` states, give in `style` the
// segments and the state after them that `reference` gives.
void expect_segments_as_by(Lexer reference, CommentStyle style,
                           const std::vector<std::string_view>& pieces,
                           const std::vector<CommentState>& starts, unsigned seed) {
  std::mt19937 random(seed);
  for (int round = 0; round < 20000; ++round) {
    std::string line;
    for (std::size_t n = random() % 24; n > 0; --n) line += pieces[random() % pieces.size()];
    CommentState fast_state = starts[random() % starts.size()];
    CommentState slow_state = fast_state;
    std::vector<Segment> fast;
    std::vector<Segment> slow;
    comment_segments(line, style, fast_state, fast);
    reference(line, slow_state, slow);
    ASSERT_EQ(fast, slow) << line;
    ASSERT_EQ(fast_state.in_block, slow_state.in_block) << line;
    ASSERT_EQ(fast_state.open_delimiter, slow_state.open_delimiter) << line;
  }
}

TEST(RelevantLines, CLikeSegmentsMatchTheBytewiseRules) {
  expect_segments_as_by(clike_segments_bytewise, CommentStyle::CLike,
                        {"/", "*", "\"", "\\", "x", " ", "/*", "*/", "//", "\\\"", "ab\"cd"},
                        {CommentState{false, std::nullopt}, CommentState{true, std::nullopt}}, 5);
}

// The Python rules as written: every search starts afresh from the scan's position.
void python_segments_by_the_rules(std::string_view line, CommentState& state,
                                  std::vector<Segment>& out) {
  constexpr std::string_view kDouble = R"(""")";
  constexpr std::string_view kSingle = "'''";
  constexpr std::size_t kNone = std::string_view::npos;
  out.clear();
  std::size_t pos = 0;
  while (pos < line.size()) {
    if (state.open_delimiter) {
      const std::size_t close = line.find(*state.open_delimiter, pos);
      if (close == kNone) {
        out.push_back(line.substr(pos));
        return;
      }
      out.push_back(line.substr(pos, close + 3 - pos));
      state.open_delimiter.reset();
      pos = close + 3;
      continue;
    }
    const std::size_t hash = line.find('#', pos);
    const std::size_t dq = line.find(kDouble, pos);
    const std::size_t sq = line.find(kSingle, pos);
    const std::size_t first = std::min({hash, dq, sq});
    if (first == kNone) return;
    if (first == hash) {
      out.push_back(line.substr(hash));
      return;
    }
    const std::string_view quote = first == dq ? kDouble : kSingle;
    const std::size_t close = line.find(quote, first + 3);
    if (close == kNone) {
      out.push_back(line.substr(first));
      state.open_delimiter = quote;
      return;
    }
    out.push_back(line.substr(first, close + 3 - first));
    pos = close + 3;
  }
}

TEST(RelevantLines, PythonSegmentsMatchTheRulesAsWritten) {
  expect_segments_as_by(
      python_segments_by_the_rules, CommentStyle::Python,
      {"\"", "'", R"(""")", "'''", "#", "x", " ", "\\", "''", "\"\"", R"(""""a""")"},
      {CommentState{false, std::nullopt}, CommentState{false, R"(""")"},
       CommentState{false, "'''"}},
      11);
}

TEST(RelevantLines, GivesTheNumbersOfLinesFarApart) {
  // Thousands of inert lines between the relevant ones, with carriage returns on some.
  std::string text;
  for (int i = 0; i < 5000; ++i) text += i % 7 == 0 ? "code;\r\n" : "code\n";
  text += "// [impl->REQ-1]\r\n";
  for (int i = 0; i < 9000; ++i) text += "\n";
  text += "x // [unit->REQ-2]";
  ScanResult result;
  scan_file(text, CommentStyle::CLike, "f", stages(), result);
  EXPECT_EQ(describe(result),
            (std::vector<std::string>{"tag 5001 impl->REQ-1", "tag 14002 unit->REQ-2"}));
  expect_same_as_every_line(text);
}

// The "[" of the first candidate of the first line at or after `line_start` that holds one, by
// the candidate rules applied to each whole line; the text size when there is none.
std::size_t first_candidate_line_by_line(std::string_view text, std::size_t line_start) {
  std::vector<std::string_view> candidates;
  LineSplitter lines(text.substr(line_start));
  std::string_view line;
  while (lines.next(line)) {
    tag_candidates(line, candidates);
    if (!candidates.empty())
      return static_cast<std::size_t>(candidates.front().data() - text.data()) - 1;
  }
  return text.size();
}

TEST(CandidateSearch, FindsTheFirstCandidateOfEachLineOnward) {
  // Long texts, so that the sixteen-byte steps meet marks and arrows at every offset.
  const std::vector<std::string_view> pieces = {"[",
                                                "]",
                                                "->",
                                                "-",
                                                ">",
                                                "\n",
                                                "\r\n",
                                                " ",
                                                "a",
                                                "impl",
                                                "REQ-1",
                                                "A",
                                                "[a->b]",
                                                "[ a->",
                                                "\xC2\xA0",
                                                "\xE2\x80\x83",
                                                "[->]",
                                                "[A->x]",
                                                "xxxxxxxxxxxxxxxxxxx",
                                                "]]->[["};
  std::mt19937 random(3);
  for (int round = 0; round < 4000; ++round) {
    std::string text;
    for (std::size_t n = random() % 200; n > 0; --n) text += pieces[random() % pieces.size()];
    std::vector<std::size_t> starts = {0};
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') starts.push_back(i + 1);
    }
    CandidateSearch search(text);
    for (const std::size_t start : starts) {
      if (random() % 3 == 0) continue;  // the search may be asked for any later line
      ASSERT_EQ(search.find(start), first_candidate_line_by_line(text, start))
          << "from " << start << " in:\n"
          << text;
    }
  }
}

TEST(CountLineFeeds, CountsEveryFeedAtEveryLengthAndOffset) {
  std::mt19937 random(7);
  std::string text(16 * 255 * 3 + 40, 'a');
  for (char& c : text) {
    if (random() % 5 == 0) c = '\n';
  }
  for (std::size_t length : {0, 1, 15, 16, 17, 31, 33, 4079, 4080, 4081, 8200, 12280}) {
    for (std::size_t offset : {0, 1, 7}) {
      const std::string_view part = std::string_view(text).substr(offset, length);
      EXPECT_EQ(count_line_feeds(part),
                static_cast<std::uint64_t>(std::count(part.begin(), part.end(), '\n')))
          << length << " at " << offset;
    }
  }
  EXPECT_EQ(count_line_feeds(std::string(5000, '\n')), 5000u);
}

}  // namespace
}  // namespace quorvane
