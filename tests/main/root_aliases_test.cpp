#include "main/root_aliases.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "helpers/file_links.hpp"
#include "helpers/temp_project.hpp"
#include "manifest/stages.hpp"
#include "platform/paths.hpp"
#include "platform/system.hpp"
#include "scan/scanner.hpp"

namespace quorvane {
namespace {

using testing::TempProject;

std::vector<std::filesystem::path> paths(const std::vector<std::string>& texts) {
  std::vector<std::filesystem::path> out;
  for (const std::string& text : texts) out.push_back(platform::path_from_utf8(text));
  return out;
}

// Whatever a root's record paths look like, each finds the lines that git gives the file it
// names: the scan's own records, looked up in git's map as the review looks them up.
TEST(RootAliases, EveryRecordOfARootFindsTheLinesOfTheFileItNames) {
  TempProject project;
  project.write("src/a.rs", "// [impl->REQ-1]\n");
  project.write("docs/b.md", "[doc->REQ-1]\n");
  project.write("other/keep.md", "\n");
  testing::FileLinks links;
  if (auto reason = links.to_directory("src", project.path() / "srclink")) GTEST_SKIP() << *reason;
  std::vector<std::string> roots = {
      "src", "./src", "src/", "other/../src", "srclink", "srclink/../src", "docs/../docs/b.md",
      "."};
  if (platform::kIsWindows) {
    // From the top of the drive, through the project and back into it; and names that Windows
    // finds whatever their case and trailing dot.
    const std::filesystem::path& top = project.path();
    std::string rooted = platform::path_bytes(top.relative_path());
    rooted = "\\" + rooted + "\\..\\" + platform::path_bytes(top.filename()) + "\\src";
    roots.insert(roots.end(), {rooted, "SRC", "src.", "src\\ ", " "});
  }
  const ChangedLines changed = {{"src/a.rs", {1}}, {"docs/b.md", {1}}};
  for (const std::string& root : roots) {
    SCOPED_TRACE(root);
    const std::vector<std::filesystem::path> scan_roots = {platform::path_from_utf8(root)};
    const ScanResult scan = scan_tree(project.path(), scan_roots, all_stages({}));
    EXPECT_TRUE(scan.scan_errors.empty());
    ASSERT_FALSE(scan.tags.empty());
    const ChangedLines as_recorded =
        under_record_paths(changed, root_aliases(project.path(), scan_roots));
    for (const Tag& tag : scan.tags) {
      const auto lines = as_recorded.find(tag.path);
      EXPECT_TRUE(lines != as_recorded.end() && lines->second.contains(tag.line)) << tag.path;
    }
  }
}

// A plainly written root costs the review nothing: it has no alias.
TEST(RootAliases, PlainRootsHaveNone) {
  TempProject project;
  project.write("src/a.rs", "");
  EXPECT_TRUE(root_aliases(project.path(), paths({"src", "./src", "src/", ".", ""})).empty());
}

TEST(UnderRecordPaths, GivesEachRecordPathTheLinesOfTheFileItNames) {
  const ChangedLines changed = {
      {"src/a.rs", {1, 2}},  {"src/sub/b.rs", {3}}, {"srcx/c.rs", {4}}, {"docs/spec.md", {5}},
      {"top.md", {6}},       {"speclink", {1}},  // the link itself, as git tracks it
      {"srclink/d.rs", {7}},                     // a file git has where the records mean another
  };
  const std::vector<RootAlias> aliases = {
      {"other/../src", "src"}, {"srclink", "src"}, {"speclink", "docs/spec.md"}, {"up/..", ""}};
  const ChangedLines expected = {
      // git's own paths outside every record prefix stay
      {"src/a.rs", {1, 2}},
      {"src/sub/b.rs", {3}},
      {"srcx/c.rs", {4}},
      {"docs/spec.md", {5}},
      {"top.md", {6}},
      // below a prefix, by whole names: srcx is not below src
      {"other/../src/a.rs", {1, 2}},
      {"other/../src/sub/b.rs", {3}},
      {"srclink/a.rs", {1, 2}},
      {"srclink/sub/b.rs", {3}},
      {"speclink", {5}},
      {"up/../src/a.rs", {1, 2}},
      {"up/../src/sub/b.rs", {3}},
      {"up/../srcx/c.rs", {4}},
      {"up/../docs/spec.md", {5}},
      {"up/../top.md", {6}},
      {"up/../speclink", {1}},
      {"up/../srclink/d.rs", {7}},
  };
  EXPECT_EQ(under_record_paths(changed, aliases), expected);
  EXPECT_EQ(under_record_paths(changed, {}), changed);
}

}  // namespace
}  // namespace quorvane
