#include "scan/tags.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/scanner.hpp"

namespace quorvane {
namespace {

StageSet builtin_stages() {
  return StageSet{"doc", "impl", "unit", "int"};
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs tag_pairs(const ScanResult& result) {
  Pairs out;
  for (const Tag& tag : result.tags) out.emplace_back(tag.stage, tag.id);
  return out;
}

struct RecognitionCase {
  const char* name;
  std::string segment;
  Pairs tags;
  std::size_t parse_errors;
};

class LineRecognition : public ::testing::TestWithParam<RecognitionCase> {};

TEST_P(LineRecognition, RecordsTagsAndAtMostOneParseError) {
  const RecognitionCase& c = GetParam();
  ScanResult result;
  recognize_line({c.segment}, 7, "src/a.rs", builtin_stages(), result);
  EXPECT_EQ(tag_pairs(result), c.tags);
  EXPECT_EQ(result.parse_errors.size(), c.parse_errors);
  for (const Tag& tag : result.tags) {
    EXPECT_EQ(tag.path, "src/a.rs");
    EXPECT_EQ(tag.line, 7u);
  }
  for (const ParseError& error : result.parse_errors) {
    EXPECT_EQ(error.path, "src/a.rs");
    EXPECT_EQ(error.line, 7u);
  }
  EXPECT_TRUE(result.scan_errors.empty());
}

const RecognitionCase kRecognitionCases[] = {
    {"WellFormed", "// [impl->REQ-LOGIN-001]", {{"impl", "REQ-LOGIN-001"}}, 0},
    {"SpacesAroundArrow", "// [impl -> REQ-1]", {}, 1},
    {"LeadingSpaceTrimsToStage", "// [ impl->REQ-1]", {}, 1},
    {"CapitalisedStageIsNoCandidate", "// [Impl->REQ-1]", {}, 0},
    {"LowerCaseId", "// [impl->req-1]", {}, 1},
    {"SameTagTwice", "// [impl->REQ-1][impl->REQ-1]", {{"impl", "REQ-1"}}, 0},
    {"TwoStagesInOrder",
     "// [impl->REQ-1] [unit->REQ-1]",
     {{"impl", "REQ-1"}, {"unit", "REQ-1"}},
     0},
    {"UnknownStage", "// [deploy->REQ-1]", {}, 1},
    {"SecondArrow", "// [impl->REQ-1->REQ-2]", {}, 1},
    {"EmptyId", "// [impl->]", {}, 1},
    {"PrefixOnlyId", "// [impl->REQ-]", {}, 1},
    {"DoubleHyphen", "// [impl->REQ--A]", {}, 1},
    {"TrailingHyphen", "// [impl->REQ-A-]", {}, 1},
    {"LowerCaseLetterInId", "// [impl->REQ-a1]", {}, 1},
    {"NoArrow", "// [see section 4] and [0]", {}, 0},
    {"EmptyLeftSide", "// [->REQ-1]", {}, 0},
    {"InnerBracketsCount", "// [[impl->REQ-1]]", {{"impl", "REQ-1"}}, 0},
    {"NoClosingBracket", "// [impl->REQ-1", {}, 0},
    {"ArrowExpression", "// [node->next]", {}, 1},
    {"MalformedThenWellFormed", "// [x->y] [a->b] [impl->REQ-1]", {{"impl", "REQ-1"}}, 1},
    {"ExtraClosingBracket", "// [impl->REQ-1]]", {{"impl", "REQ-1"}}, 0},
    {"NonAsciiLetterInId",
     "// [impl->REQ-\xC3\x84"
     "1]",
     {},
     1},
    {"NoBreakSpaceAtEnd", "// [impl->REQ-1\xC2\xA0]", {}, 1},
    {"IdeographicSpaceTrimmedOnTheLeft", "// [\xE3\x80\x80impl->REQ-1]", {}, 1},
    {"NonAsciiBeforeArrowIsNoCandidate", "// [\xC3\xA9->REQ-1]", {}, 0},
    {"StageWithDigitsAndSigns", "[int->REQ-2024-A]", {{"int", "REQ-2024-A"}}, 0},
    {"NotStageShapedIsSilentBesideTag", "[a b->c] [doc->REQ-7]", {{"doc", "REQ-7"}}, 0},
    {"CloseBeforeOpenIsText", "] [doc->REQ-7] [", {{"doc", "REQ-7"}}, 0},
    {"SameIdTwoStagesThenRepeat",
     "[doc->REQ-1][unit->REQ-1][doc->REQ-1]",
     {{"doc", "REQ-1"}, {"unit", "REQ-1"}},
     0},
};

INSTANTIATE_TEST_SUITE_P(Segments, LineRecognition, ::testing::ValuesIn(kRecognitionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LineRecognition, CustomStageMakesATag) {
  StageSet stages = builtin_stages();
  stages.insert("deploy");
  ScanResult result;
  recognize_line({"// [deploy->REQ-1]"}, 1, "a.rs", stages, result);
  EXPECT_EQ(tag_pairs(result), (Pairs{{"deploy", "REQ-1"}}));
  EXPECT_TRUE(result.parse_errors.empty());
}

TEST(LineRecognition, DeduplicatesAcrossSegmentsOfOneLine) {
  ScanResult result;
  recognize_line({"/* [impl->REQ-1] [x->y] */", "// [impl->REQ-1] [a->b] [unit->REQ-1]"}, 3, "a.c",
                 builtin_stages(), result);
  EXPECT_EQ(tag_pairs(result), (Pairs{{"impl", "REQ-1"}, {"unit", "REQ-1"}}));
  EXPECT_EQ(result.parse_errors.size(), 1u);
}

TEST(LineRecognition, ScratchFromAnEarlierLineDoesNotSuppressTags) {
  TagScratch scratch;
  ScanResult result;
  const StageSet stages = builtin_stages();
  recognize_line({"// [impl->REQ-1] [x->y]"}, 1, "a.rs", stages, scratch, result);
  recognize_line({"// [impl->REQ-1] [x->y]"}, 2, "a.rs", stages, scratch, result);
  ASSERT_EQ(result.tags.size(), 2u);
  EXPECT_EQ(result.tags[1].line, 2u);
  EXPECT_EQ(result.parse_errors.size(), 2u);
}

TEST(LineRecognition, ManyTagsOnOneLineAreEachRecordedOnce) {
  // Far more distinct pairs than a short list holds, each written again a little later, then a
  // new pair at the end.
  // Built by appending: g++ 12 warns falsely (-Wrestrict) about "+" on a temporary.
  const auto tag = [](int i) {
    std::string text = i % 2 == 0 ? "[impl->REQ-" : "[unit->REQ-";
    text.append(std::to_string(i)).append("]");
    return text;
  };
  std::string line = "//";
  Pairs expected;
  for (int i = 0; i < 60; ++i) {
    line.append(" ").append(tag(i));
    if (i >= 5) line.append(" ").append(tag(i - 5));
    expected.emplace_back(i % 2 == 0 ? "impl" : "unit", "REQ-" + std::to_string(i));
  }
  line.append(" ").append(tag(0)).append(" [doc->REQ-0]");
  expected.emplace_back("doc", "REQ-0");
  TagScratch scratch;
  ScanResult result;
  const StageSet stages = builtin_stages();
  recognize_line({line}, 1, "a.rs", stages, scratch, result);
  EXPECT_EQ(tag_pairs(result), expected);
  // The next line starts with nothing recorded.
  std::string next_line = "//";
  next_line.append(" ").append(tag(0)).append(" ").append(tag(59));
  recognize_line({next_line}, 2, "a.rs", stages, scratch, result);
  ASSERT_EQ(result.tags.size(), expected.size() + 2);
  EXPECT_EQ(result.tags[expected.size()].id, "REQ-0");
  EXPECT_EQ(result.tags.back().id, "REQ-59");
  EXPECT_EQ(result.tags.back().line, 2u);
}

TEST(TagCandidates, GivesViewsInOrderOfPosition) {
  const std::string segment = "[doc->REQ-1] [0] [[unit->x] [a]b->c] [int->REQ-2]";
  std::vector<std::string_view> out{"stale"};
  tag_candidates(segment, out);
  const std::vector<std::string_view> expected{"doc->REQ-1", "unit->x", "int->REQ-2"};
  EXPECT_EQ(out, expected);
  for (const std::string_view c : out) {
    EXPECT_GE(c.data(), segment.data());
    EXPECT_LE(c.data() + c.size(), segment.data() + segment.size());
  }
}

struct TextCase {
  const char* text;
  bool expected;
};

TEST(IsTagId, FollowsTheIdentifierGrammar) {
  const TextCase cases[] = {
      {"REQ-7", true},     {"REQ-LOGIN-001", true}, {"REQ-2024-A", true}, {"REQ-A-B-C", true},
      {"REQ-", false},     {"REQ", false},          {"req-1", false},     {"REQ-a", false},
      {"REQ--A", false},   {"REQ-A-", false},       {"REQ-A_B", false},   {"XREQ-1", false},
      {"REQ-A--B", false}, {"REQ-\xC3\x84", false}, {"", false},          {"REQ-1 ", false},
  };
  for (const TextCase& c : cases) EXPECT_EQ(is_tag_id(c.text), c.expected) << c.text;
}

TEST(IsStageShaped, NeedsALowerCaseLetterFirst) {
  const TextCase cases[] = {
      {"impl", true},  {"a", true},   {"a-b_0", true},     {"x9", true},  {"", false},
      {"Impl", false}, {"9a", false}, {"-a", false},       {"_a", false}, {"a b", false},
      {"a.b", false},  {"aB", false}, {"\xC3\xA9", false},
  };
  for (const TextCase& c : cases) EXPECT_EQ(is_stage_shaped(c.text), c.expected) << c.text;
}

TEST(CheckCandidate, GivesViewsOfStageAndId) {
  const StageSet stages = builtin_stages();
  const std::string candidate = "unit->REQ-9";
  const auto pair = check_candidate(candidate, stages);
  ASSERT_TRUE(pair);
  EXPECT_EQ(pair->first, "unit");
  EXPECT_EQ(pair->second, "REQ-9");
  EXPECT_EQ(pair->first.data(), candidate.data());
  // Exact bytes: a padded or capitalised stage is not a stage.
  EXPECT_FALSE(check_candidate("unit ->REQ-9", stages));
  EXPECT_FALSE(check_candidate("Unit->REQ-9", stages));
  EXPECT_FALSE(check_candidate("units->REQ-9", stages));
}

// Whole files: lines, comment state and recognition together.

ScanResult scan_text(std::string_view text, CommentStyle style) {
  ScanResult result;
  scan_file(text, style, "f", builtin_stages(), result);
  return result;
}

std::vector<std::uint64_t> tag_lines(const ScanResult& result) {
  std::vector<std::uint64_t> out;
  for (const Tag& tag : result.tags) out.push_back(tag.line);
  return out;
}

TEST(ScanFile, SameTagOnTwoLinesGivesTwoTags) {
  const ScanResult result =
      scan_text("a\nb\n// [impl->REQ-1]\n// [impl->REQ-1]\n", CommentStyle::CLike);
  EXPECT_EQ(tag_lines(result), (std::vector<std::uint64_t>{3, 4}));
}

TEST(ScanFile, EveryLineCanRecordItsOwnParseError) {
  const ScanResult result = scan_text("# [x->y] [a->b]\n# [x->y]\n", CommentStyle::Hash);
  ASSERT_EQ(result.parse_errors.size(), 2u);
  EXPECT_EQ(result.parse_errors[0].line, 1u);
  EXPECT_EQ(result.parse_errors[1].line, 2u);
}

TEST(ScanFile, TagsOutsideCommentsAreIgnored) {
  const ScanResult result = scan_text(
      "x[impl->REQ-1];\ns = \"// [impl->REQ-2]\";\n/* [impl->REQ-3] */\n", CommentStyle::CLike);
  EXPECT_EQ(tag_pairs(result), (Pairs{{"impl", "REQ-3"}}));
  EXPECT_EQ(tag_lines(result), (std::vector<std::uint64_t>{3}));
}

TEST(ScanFile, BlockCommentCarriesAcrossLines) {
  const ScanResult result = scan_text("/*\n [doc->REQ-1]\n*/ [doc->REQ-2]\n", CommentStyle::CLike);
  EXPECT_EQ(tag_pairs(result), (Pairs{{"doc", "REQ-1"}}));
  EXPECT_EQ(tag_lines(result), (std::vector<std::uint64_t>{2}));
}

TEST(ScanFile, PythonHashInsideOneQuoteStringStartsAComment) {
  const ScanResult result = scan_text("s = 'x # [unit->REQ-1]'\n", CommentStyle::Python);
  EXPECT_EQ(tag_pairs(result), (Pairs{{"unit", "REQ-1"}}));
}

TEST(ScanFile, MarkdownCodeBlockTagsCount) {
  const ScanResult result = scan_text("```\ncode [doc->REQ-1]\n```", CommentStyle::Markdown);
  EXPECT_EQ(tag_lines(result), (std::vector<std::uint64_t>{2}));
}

TEST(ScanFile, CommentStateStartsFreshForEveryFile) {
  ScanResult result;
  const StageSet stages = builtin_stages();
  scan_file("/* never closed\n", CommentStyle::CLike, "a.c", stages, result);
  scan_file("x = [impl->REQ-1];\n", CommentStyle::CLike, "b.c", stages, result);
  scan_file("'''never closed\n", CommentStyle::Python, "a.py", stages, result);
  scan_file("x = [impl->REQ-1]\n", CommentStyle::Python, "b.py", stages, result);
  EXPECT_TRUE(result.tags.empty());
}

TEST(ScanFile, CrLfLinesKeepTheirNumbers) {
  const ScanResult result =
      scan_text("\r\n[doc->REQ-1]\r\n\r\n[doc->REQ-2]\r", CommentStyle::Markdown);
  EXPECT_EQ(tag_lines(result), (std::vector<std::uint64_t>{2, 4}));
}

}  // namespace
}  // namespace quorvane
