#include "scan/comments.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "scan/lines.hpp"

namespace quorvane {
namespace {

using Lines = std::vector<std::string>;
using SegmentsPerLine = std::vector<std::vector<std::string>>;

struct LexCase {
  const char* name;
  CommentStyle style;
  Lines lines;                                 // consecutive lines of one file
  SegmentsPerLine segments;                    // expected segments of each line
  bool in_block_after = false;                 // state after the last line
  std::optional<std::string> open_after = {};  // Python delimiter left open
};

class CommentSegments : public ::testing::TestWithParam<LexCase> {};

TEST_P(CommentSegments, CutsTheCommentTextOfEachLine) {
  const LexCase& c = GetParam();
  CommentState state;
  std::vector<Segment> out;
  ASSERT_EQ(c.lines.size(), c.segments.size());
  for (std::size_t i = 0; i < c.lines.size(); ++i) {
    const std::string& line = c.lines[i];
    comment_segments(line, c.style, state, out);
    std::vector<std::string> got(out.begin(), out.end());
    EXPECT_EQ(got, c.segments[i]) << "line " << i + 1 << ": " << line;
    for (const Segment s : out) {
      // Segments are views into the line, not copies.
      EXPECT_GE(s.data(), line.data());
      EXPECT_LE(s.data() + s.size(), line.data() + line.size());
    }
  }
  EXPECT_EQ(state.in_block, c.in_block_after);
  const std::optional<std::string> open =
      state.open_delimiter ? std::optional<std::string>(*state.open_delimiter) : std::nullopt;
  EXPECT_EQ(open, c.open_after);
}

const LexCase kCLikeCases[] = {
    {"LineComment", CommentStyle::CLike, {"int x = 1; // [impl->REQ-1]"}, {{"// [impl->REQ-1]"}}},
    {"NoComment", CommentStyle::CLike, {"a / b * c;"}, {{}}},
    {"SlashAtLineEnd", CommentStyle::CLike, {"x /"}, {{}}},
    {"UrlInStringThenBlock",
     CommentStyle::CLike,
     {R"(s = "http://x/*y*/"; /* [impl->REQ-1] */ z)"},
     {{"/* [impl->REQ-1] */"}}},
    {"BlockOverThreeLines",
     CommentStyle::CLike,
     {"code /* start", "middle", "end */ more(); // tail"},
     {{"/* start"}, {"middle"}, {"end */", "// tail"}}},
    {"TwoBlocksOnOneLine", CommentStyle::CLike, {"/* a */ x /* b */"}, {{"/* a */", "/* b */"}}},
    {"CharLiteralQuoteOpensString", CommentStyle::CLike, {R"(c = '"'; // [impl->REQ-1])"}, {{}}},
    {"EscapedQuoteKeepsStringOpen", CommentStyle::CLike, {R"(s = "a\"// b"; // c)"}, {{"// c"}}},
    {"StringDoesNotSpanLines", CommentStyle::CLike, {R"(s = "abc\)", "// next"}, {{}, {"// next"}}},
    {"BackslashAtLineEndOfString", CommentStyle::CLike, {R"(s = "a\)"}, {{}}},
    {"BlockOpenerStarIsNotACloser", CommentStyle::CLike, {"/*/ text */ x"}, {{"/*/ text */"}}},
    {"BlockOpenerStarSlashLeavesBlockOpen",
     CommentStyle::CLike,
     {"/*/", "x"},
     {{"/*/"}, {"x"}},
     true},
    {"BlockOpenerAfterLineCommentIsText",
     CommentStyle::CLike,
     {"// a /* b", "c"},
     {{"// a /* b"}, {}}},
    {"CloserInCodeIsCode", CommentStyle::CLike, {"x */ y"}, {{}}},
    {"LineCommentInsideBlockIsText", CommentStyle::CLike, {"/* a // b */ c"}, {{"/* a // b */"}}},
    {"BlocksDoNotNest", CommentStyle::CLike, {"/* a /* b */ c */"}, {{"/* a /* b */"}}},
    {"EmptyLineInOpenBlock", CommentStyle::CLike, {"/*", "", "*/"}, {{"/*"}, {""}, {"*/"}}},
    {"CloserInCodeThenOpener", CommentStyle::CLike, {"*/ x /* y", "z */"}, {{"/* y"}, {"z */"}}},
    {"QuoteInBlockIsText", CommentStyle::CLike, {R"(/* " */ // t)"}, {{R"(/* " */)", "// t"}}},
    {"StarAtLineEndInBlock", CommentStyle::CLike, {"/* a *", "/ b */"}, {{"/* a *"}, {"/ b */"}}},
};

const LexCase kPythonCases[] = {
    {"HashComment", CommentStyle::Python, {"x = 1  # [impl->REQ-1]"}, {{"# [impl->REQ-1]"}}},
    {"NoComment", CommentStyle::Python, {"x = 1"}, {{}}},
    {"DocstringOnOneLine",
     CommentStyle::Python,
     {R"(    """Doc [impl->REQ-1].""" + x)"},
     {{R"("""Doc [impl->REQ-1].""")"}}},
    {"DocstringOverThreeLines",
     CommentStyle::Python,
     {R"(    """Start)", "middle", R"(end""" x  # tail)"},
     {{R"("""Start)"}, {"middle"}, {R"(end""")", "# tail"}}},
    {"HashInOneQuoteString", CommentStyle::Python, {R"(s = "a#b")"}, {{R"(#b")"}}},
    {"TripleQuotesInHashComment",
     CommentStyle::Python,
     {"x  # it's ''' here"},
     {{"# it's ''' here"}}},
    {"SingleThenDoubleTriple",
     CommentStyle::Python,
     {R"('''a''' x """b)"},
     {{"'''a'''", R"("""b)"}},
     false,
     R"(""")"},
    {"EmptyLineInOpenString", CommentStyle::Python, {"'''a", "", "b'''"}, {{"'''a"}, {}, {"b'''"}}},
    {"OtherTripleDoesNotClose",
     CommentStyle::Python,
     {"'''a", R"(b """ # c)", "'''"},
     {{"'''a"}, {R"(b """ # c)"}, {"'''"}}},
    {"FourQuotesOpenOnly", CommentStyle::Python, {R"(x = """")"}, {{R"("""")"}}, false, R"(""")"},
    {"HashInsideTripleIsText",
     CommentStyle::Python,
     {R"("""a # b""" # c)"},
     {{R"("""a # b""")", "# c"}}},
    {"BackslashEscapesNothing", CommentStyle::Python, {R"("""a\""" b)"}, {{R"("""a\""")"}}},
    {"ClosedThenHashOnContinuationLine",
     CommentStyle::Python,
     {"'''", "a''' # b '''"},
     {{"'''"}, {"a'''", "# b '''"}}},
};

const LexCase kMarkdownAndHashCases[] = {
    {"MarkdownWholeLine", CommentStyle::Markdown, {"Text [impl->REQ-1]"}, {{"Text [impl->REQ-1]"}}},
    {"MarkdownCodeBlockLine", CommentStyle::Markdown, {"```", "x // y"}, {{"```"}, {"x // y"}}},
    {"MarkdownEmptyLine", CommentStyle::Markdown, {""}, {{""}}},
    {"HashComment", CommentStyle::Hash, {"set(X 1) # [impl->REQ-1]"}, {{"# [impl->REQ-1]"}}},
    {"HashInQuotedYamlValue", CommentStyle::Hash, {R"(key: "a#b" # c)"}, {{R"(#b" # c)"}}},
    {"HashNone", CommentStyle::Hash, {"key: value // x"}, {{}}},
    {"HashStyleIgnoresBlocks", CommentStyle::Hash, {"/* a", "b"}, {{}, {}}},
};

std::string case_name(const ::testing::TestParamInfo<LexCase>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(CLike, CommentSegments, ::testing::ValuesIn(kCLikeCases), case_name);
INSTANTIATE_TEST_SUITE_P(Python, CommentSegments, ::testing::ValuesIn(kPythonCases), case_name);
INSTANTIATE_TEST_SUITE_P(MarkdownAndHash, CommentSegments,
                         ::testing::ValuesIn(kMarkdownAndHashCases), case_name);

TEST(CommentSegments, ClearsTheOutputFirst) {
  CommentState state;
  std::vector<Segment> out{"stale"};
  comment_segments("no comment", CommentStyle::CLike, state, out);
  EXPECT_TRUE(out.empty());
}

struct SplitCase {
  const char* name;
  std::string text;
  std::vector<std::string> lines;
};

class LineSplitting : public ::testing::TestWithParam<SplitCase> {};

TEST_P(LineSplitting, SplitsAtLineFeedsAndDropsOneCarriageReturn) {
  const SplitCase& c = GetParam();
  LineSplitter splitter(c.text);
  std::vector<std::string> got;
  std::string_view line;
  while (splitter.next(line)) got.emplace_back(line);
  EXPECT_EQ(got, c.lines);
}

const SplitCase kSplitCases[] = {
    {"Empty", "", {""}},
    {"NoFeed", "a", {"a"}},
    {"TrailingFeedGivesEmptyLastLine", "a\nb\n", {"a", "b", ""}},
    {"CrLf", "a\r\nb\r\n", {"a", "b", ""}},
    {"LastLineCrWithoutFeed", "a\nb\r", {"a", "b"}},
    {"TwoCarriageReturnsKeepOne", "a\r\r\nb", {"a\r", "b"}},
    {"InnerCarriageReturnStays", "a\rb\n", {"a\rb", ""}},
    {"OnlyFeeds", "\n\n", {"", "", ""}},
    {"ByteOrderMarkKept", "\xEF\xBB\xBFx", {"\xEF\xBB\xBFx"}},
};

INSTANTIATE_TEST_SUITE_P(Texts, LineSplitting, ::testing::ValuesIn(kSplitCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorvane
