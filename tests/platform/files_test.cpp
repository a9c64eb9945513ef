#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "helpers/file_links.hpp"
#include "helpers/os_texts.hpp"
#include "helpers/temp_project.hpp"
#include "platform/files.hpp"
#include "platform/paths.hpp"
#include "platform/system.hpp"

namespace quorvane::platform {
namespace {

TEST(AbsoluteByWindowsRule, NeedsAPrefixAndARoot) {
  struct Case {
    std::string_view path;
    bool absolute;
  };
  const std::vector<Case> cases = {
      {"C:\\x", true},
      {"c:/x", true},
      {"z:\\", true},
      {"C:", false},  // a drive without a root
      {"C:x", false},
      {"1:\\x", false},
      {"\\\\server\\share", true},
      {"//server/share/dir", true},
      {"\\\\server", false},  // a UNC prefix needs the share
      {"\\\\server\\", false},
      {"\\\\\\share", false},
      {"\\\\?\\C:\\x", true},
      {"\\\\?\\anything", true},
      {"\\\\?\\UNC\\server\\share", true},
      {"//?/C:/x", true},  // not verbatim with these separators, but a UNC share
      {"\\\\.\\COM1", true},
      {"//./pipe", true},
      {"\\x", false},  // rooted but without a prefix
      {"/etc", false},
      {"/", false},
      {"", false},
      {".", false},
      {"src/main", false},
      {"..\\x", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(is_absolute_by_windows_rule(c.path), c.absolute) << c.path;
  }
}

TEST(StartsWithComponents, ComparesWholeComponents) {
  struct Case {
    std::string path;
    std::string base;
    bool starts;
  };
  const std::vector<Case> cases = {
      {"/a/b", "/a/b", true},
      {"/a/b/c", "/a/b", true},
      {"/a/bc", "/a/b", false},
      {"/a", "/a/b", false},
      {"/a/b", "/", true},
      {"/a/b/", "/a/b", true},
      {"/a/b", "/a/b/", true},
      {"/x/b", "/a/b", false},
      {"a/b", "/a/b", false},
      {"/a/./b", "/a/b/.", true},
      {"/a/../b", "/b", false},
      {"C:/a", "C:", true},
      // A backslash separates, and a prefix is one component, on Windows only.
      {"/a\\b", "/a", platform::kIsWindows},
      {"\\\\?\\C:\\a", "C:\\a", platform::kIsWindows},
      {"c:\\a\\b", "C:/a", platform::kIsWindows},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(starts_with_components(path_from_utf8(c.path), path_from_utf8(c.base)), c.starts)
        << c.path << " vs " << c.base;
  }
}

TEST(CanonicalPath, ResolvesLinksAndDotsOfExistingEntries) {
  testing::TempProject project;
  project.mkdir("real/sub");
  if (auto reason =
          testing::make_directory_link(project.path() / "real", project.path() / "link")) {
    GTEST_SKIP() << *reason;
  }
  const Result<std::filesystem::path> top = canonical_path(project.path());
  ASSERT_TRUE(top) << top.error();

  const Result<std::filesystem::path> resolved =
      canonical_path(project.path() / "link" / "sub" / ".." / "." / "sub");
  ASSERT_TRUE(resolved) << resolved.error();
  EXPECT_EQ(resolved.value(), top.value() / "real" / "sub");
}

TEST(CanonicalPath, MissingEntriesAndNulsFail) {
  testing::TempProject project;
  project.mkdir("real");
  const Result<std::filesystem::path> missing = canonical_path(project.path() / "missing");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error(), testing::expected_os_text("No such file or directory (os error 2)",
                                                       testing::win32_error::kFileNotFound));

  // Not the existing "real" that the text before the NUL names.
  const Result<std::filesystem::path> with_nul = canonical_path(
      path_from_utf8(path_bytes(project.path()) + "/real" + std::string(1, '\0') + "/../.."));
  ASSERT_FALSE(with_nul);
  EXPECT_EQ(with_nul.error(), testing::expected_os_text("Invalid argument (os error 22)",
                                                        testing::win32_error::kInvalidName));
}

TEST(CanonicalPath, DanglingLinkFails) {
  testing::TempProject project;
  if (auto reason = testing::make_file_link(project.path() / "gone", project.path() / "broken")) {
    GTEST_SKIP() << *reason;
  }
  EXPECT_FALSE(canonical_path(project.path() / "broken"));
}

}  // namespace
}  // namespace quorvane::platform
