#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "git/changed_lines.hpp"

namespace quorvane {
namespace {

struct DiffCase {
  const char* name;
  std::string diff;
  ChangedLines expected;
};

class ReadAddedLines : public ::testing::TestWithParam<DiffCase> {};

TEST_P(ReadAddedLines, RecordsThePostChangeLineOfEachAddedLine) {
  EXPECT_EQ(read_added_lines(GetParam().diff), GetParam().expected);
}

const DiffCase kDiffCases[] = {
    {"EditedFile",
     "diff --git a/src/a.c b/src/a.c\n"
     "index 1111111..2222222 100644\n"
     "--- a/src/a.c\n"
     "+++ b/src/a.c\n"
     "@@ -1,0 +2 @@ int main()\n"
     "+inserted\n"
     "@@ -4 +5,2 @@\n"
     "-old\n"
     "+new one\n"
     "+new two\n",
     {{"src/a.c", {2, 5, 6}}}},
    {"NewFileCountsFromOne",
     "diff --git a/n.c b/n.c\n"
     "new file mode 100644\n"
     "index 0000000..3333333\n"
     "--- /dev/null\n"
     "+++ b/n.c\n"
     "@@ -0,0 +1,3 @@\n"
     "+a\n+b\n+c\n",
     {{"n.c", {1, 2, 3}}}},
    {"DeletedFileAndRemovalOnlyHunkRecordNothing",
     "diff --git a/keep.c b/keep.c\n"
     "--- a/keep.c\n"
     "+++ b/keep.c\n"
     "@@ -3 +2,0 @@\n"
     "-gone\n"
     "diff --git a/d.c b/d.c\n"
     "deleted file mode 100644\n"
     "--- a/d.c\n"
     "+++ /dev/null\n"
     "@@ -1,2 +0,0 @@\n"
     "-x\n"
     "-y\n",
     {}},
    {"HunkRangeWithCountAndFunctionNameHoldingPlus",
     "+++ b/m.c\n"
     "@@ -10,2 +12,3 @@ int add(int a, int b) { return a+b+99; }\n"
     "+one\n+two\n+three\n",
     {{"m.c", {12, 13, 14}}}},
    {"AddedLinesBeforeAFileHeaderAreNotRecorded", "@@ -0,0 +1 @@\n+orphan\n", {}},
    {"AddedTextStartingWithPlusPlusIsAnAddedLine",
     // The header counts four added lines, so "+++" and "+++ b/" are text here, not headers.
     "+++ b/p.c\n"
     "@@ -0,0 +1,4 @@\n"
     "+first\n"
     "+++counter;\n"
     "+++ b/looks-like-a-header\n"
     "+fourth\n",
     {{"p.c", {1, 2, 3, 4}}}},
    {"RemovedTextStartingWithMinusMinusIsARemovedLine",
     "+++ b/p.c\n"
     "@@ -5,2 +5 @@\n"
     "---- rule\n"
     "--- a/looks-like-a-header\n"
     "+new\n",
     {{"p.c", {5}}}},
    {"ContextLinesAdvanceTheCounter",
     // An empty line inside a body is context, as git writes it with diff.suppressBlankEmpty.
     "+++ b/c.c\n"
     "@@ -3,5 +3,6 @@ void f()\n"
     " context\n"
     "-old\n"
     "+new\n"
     " more context\n"
     "\n"
     "+added\n"
     " last context\n",
     {{"c.c", {4, 7}}}},
    {"NoNewlineNoteIsNoLineOfTheHunk",
     "+++ b/n.c\n"
     "@@ -1 +1,2 @@\n"
     "-last\n"
     "\\ No newline at end of file\n"
     "+last\n"
     "+appended\n",
     {{"n.c", {1, 2}}}},
    {"LinesBeyondTheCountsAreNotRecorded",
     "+++ b/n.c\n"
     "@@ -0,0 +1 @@\n"
     "+counted\n"
     "+beyond the count\n",
     {{"n.c", {1}}}},
    {"ImpossibleRangeRecordsNothingButItsBodyIsStillSkipped",
     // Line 0 does not exist, nor does one past the 64-bit range; the bodies still hide the
     // "+++ b/" text in them.
     "+++ b/r.c\n"
     "@@ -0,0 +0,2 @@\n"
     "+a\n"
     "+++ b/not-a-file\n"
     "@@ -0,0 +18446744073709551615,2 @@\n"
     "+a\n"
     "+b\n"
     "@@ -0,0 +18446744073709551615 @@\n"
     "+last possible line\n",
     {{"r.c", {18446744073709551615u}}}},
    {"QuotedPathsAreUnquotedAndDecoded",
     "diff --git \"a/t\\tab.c\" \"b/t\\tab.c\"\n"
     "--- \"a/t\\tab.c\"\n"
     "+++ \"b/t\\tab.c\"\n"
     "@@ -0,0 +4 @@\n"
     "+four\n"
     "diff --git \"a/docs/\\303\\244 \\\"q\\\".md\" \"b/docs/\\303\\244 \\\"q\\\".md\"\n"
     "--- /dev/null\n"
     "+++ \"b/docs/\\303\\244 \\\"q\\\".md\"\t\n"
     "@@ -0,0 +1 @@\n"
     "+one\n",
     {{"t\tab.c", {4}}, {"docs/\u00e4 \"q\".md", {1}}}},
    {"PathWithASpaceEndsAtGitsTab",
     "+++ b/my file.c\t\n"
     "@@ -0,0 +1 @@\n"
     "+one\n",
     {{"my file.c", {1}}}},
    {"HeaderNamingNoNewSidePathLeavesNoFileCurrent",
     // Each time the previous file must not get the next hunk's lines.
     "+++ b/a.c\n"
     "@@ -0,0 +1 @@\n"
     "+one\n"
     "+++ \"b/unknown\\qescape.c\"\n"
     "@@ -0,0 +2 @@\n"
     "+two\n"
     "+++ \"b/unterminated.c\n"
     "@@ -0,0 +3 @@\n"
     "+three\n"
     "+++ \"b/x.c\"trailing\n"
     "@@ -0,0 +4 @@\n"
     "+four\n"
     "+++ a/wrong-side.c\n"
     "@@ -0,0 +5 @@\n"
     "+five\n"
     "+++ /dev/null\n"
     "@@ -0,0 +6 @@\n"
     "+six\n",
     {{"a.c", {1}}}},
    {"DiffLineClearsTheFileUntilItsOwnHeader",
     "+++ b/a.c\n"
     "@@ -0,0 +1 @@\n"
     "+one\n"
     "diff --git a/b.c b/b.c\n"
     "@@ -0,0 +2 @@\n"
     "+two\n",
     {{"a.c", {1}}}},
    {"NotesOnModesAndBinaryFilesRecordNothing",
     "diff --git a/img.png b/img.png\n"
     "old mode 100644\n"
     "new mode 100755\n"
     "similarity index 90%\n"
     "rename from old.png\n"
     "rename to img.png\n"
     "Binary files a/img.png and b/img.png differ\n",
     {}},
    {"CrLfLineEnds",
     "+++ b/w.c\r\n"
     "@@ -0,0 +1,2 @@\r\n"
     "+a\r\n+b\r\n"
     "+++ /dev/null\r\n"
     "@@ -0,0 +9 @@\r\n"
     "+not recorded\r\n",
     {{"w.c", {1, 2}}}},
    {"FinalLineWithoutLineFeed", "+++ b/f.c\n@@ -0,0 +3 @@\n+last", {{"f.c", {3}}}},
    {"SeveralFiles",
     "+++ b/one.c\n@@ -0,0 +2 @@\n+x\n"
     "+++ b/two.c\n+before any hunk\n@@ -0,0 +8 @@\n+y\n",
     {{"one.c", {2}}, {"two.c", {8}}}},
    {"Empty", "", {}},
};

INSTANTIATE_TEST_SUITE_P(Diffs, ReadAddedLines, ::testing::ValuesIn(kDiffCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A hunk header whose numbers cannot be read starts no body: none of the lines after it is
// recorded, neither at the number before it nor at one read from part of it.
std::vector<DiffCase> unreadable_header_cases() {
  const std::pair<const char*, const char*> headers[] = {
      {"NoNewSideRange", "@@ -9 @@"},
      {"WhiteSpaceBeforeTheStart", "@@ -1 + 7,2 @@"},
      {"StartNotANumber", "@@ -1 +x7 @@"},
      {"CountNotANumber", "@@ -1 +7,x @@"},
      {"OldRangeNotANumber", "@@ -a +7 @@"},
      {"NoClosingAtSigns", "@@ -1 +7"},
      {"StartBeyond64Bits", "@@ -1 +18446744073709551616 @@"},
      {"CountBeyond64Bits", "@@ -1 +7,18446744073709551616 @@"},
  };
  std::vector<DiffCase> cases;
  for (const auto& [name, header] : headers) {
    cases.push_back({name,
                     std::string("+++ b/m.c\n@@ -1,0 +5 @@\n+five\n") + header + "\n+six\n+seven\n",
                     {{"m.c", {5}}}});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(UnreadableHunkHeaders, ReadAddedLines,
                         ::testing::ValuesIn(unreadable_header_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StripShowPrefix, KeepsOnlyPathsUnderThePrefixAndRemovesIt) {
  const ChangedLines lines = {{"sub/src/a.c", {1, 2}},
                              {"sub/b.c", {7}},
                              {"top.c", {3}},
                              {"subway/c.c", {4}},
                              {"Sub/d.c", {5}}};
  const ChangedLines expected = {{"src/a.c", {1, 2}}, {"b.c", {7}}};
  EXPECT_EQ(strip_show_prefix(lines, "sub/"), expected);
}

TEST(StripShowPrefix, EmptyPrefixKeepsEverything) {
  const ChangedLines lines = {{"a.c", {1}}, {"dir/b.c", {2, 3}}};
  EXPECT_EQ(strip_show_prefix(lines, ""), lines);
}

}  // namespace
}  // namespace quorvane
