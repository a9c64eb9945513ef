#include <string>
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
     "+stray line with no file\n",
     {}},
    {"HunkRangeWithCountAndFunctionNameHoldingPlus",
     "+++ b/m.c\n"
     "@@ -10,2 +12,3 @@ int add(int a, int b) { return a+b+99; }\n"
     "+one\n+two\n+three\n",
     {{"m.c", {12, 13, 14}}}},
    {"HunkNumberAfterWhiteSpace",
     "+++ b/m.c\n"
     "@@ -1 + \t7,2 @@\n"
     "+one\n+two\n",
     {{"m.c", {7, 8}}}},
    {"HunkHeaderWithoutPlusKeepsTheCounter",
     "+++ b/m.c\n"
     "@@ -1,0 +5 @@\n"
     "+five\n"
     "@@ -9 @@\n"
     "+six\n",
     {{"m.c", {5, 6}}}},
    {"UnreadableHunkNumberStartsTheCounterAtZero",
     // 0 is no line: the first added line is skipped, the counter then goes on from 1.
     "+++ b/m.c\n"
     "@@ -1 +x7 @@\n"
     "+skipped\n+one\n"
     "@@ -1 +18446744073709551616 @@\n"
     "+skipped\n+one again\n",
     {{"m.c", {1}}}},
    {"AddedLinesBeforeAFileHeaderAreNotRecorded", "@@ -0,0 +1 @@\n+orphan\n", {}},
    {"AddedTextStartingWithPlusPlusIsNeitherRecordedNorCounted",
     "+++ b/p.c\n"
     "@@ -0,0 +1,3 @@\n"
     "+first\n"
     "+++counter\n"
     "+third\n",
     {{"p.c", {1, 2}}}},
    {"AddedTextStartingWithPlusSpaceBSlashReadsAsAFileHeader",
     "+++ b/p.c\n"
     "@@ -0,0 +1,3 @@\n"
     "+first\n"
     "+++ b/looks-like-a-header\n"
     "+third\n",
     {{"p.c", {1}}}},
    {"QuotedHeaderChangesNeitherFileNorCounter",
     "+++ b/a.c\n"
     "@@ -0,0 +4 @@\n"
     "+four\n"
     "diff --git \"a/t\\tab.c\" \"b/t\\tab.c\"\n"
     "--- \"a/t\\tab.c\"\n"
     "+++ \"b/t\\tab.c\"\n"
     "+five\n",
     {{"a.c", {4, 5}}}},
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
