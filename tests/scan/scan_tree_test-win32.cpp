#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "helpers/temp_project.hpp"
#include "helpers/windows_fixtures.hpp"
#include "platform/path_prefix.hpp"
#include "platform/paths.hpp"
#include "scan/scan_records.hpp"
#include "scan/scanner.hpp"

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using testing::describe;
using testing::sorted;
using testing::TempProject;

ScanResult scan(const fs::path& root, const std::vector<std::string>& roots) {
  std::vector<fs::path> paths;
  for (const std::string& text : roots) paths.push_back(platform::path_from_utf8(text));
  return scan_tree(root, paths, StageSet{"doc", "impl", "unit", "int"});
}

TEST(ScanTreeOnWindows, FileHeldWithoutSharingIsAScanErrorAndTheScanGoesOn) {
  TempProject project;
  project.write("src/a.rs", "// [impl->REQ-1]\n");
  project.write("src/locked.rs", "// [impl->REQ-2]\n");
  project.write("src/z/b.md", "[doc->REQ-3]\n");
  const testing::LockedFile lock(project.path() / "src" / "locked.rs");
  EXPECT_EQ(sorted(describe(scan(project.path(), {"src"}))),
            (std::vector<std::string>{
                "error src/locked.rs " + platform::os_error_text(ERROR_SHARING_VIOLATION),
                "tag src/a.rs:1 impl->REQ-1", "tag src/z/b.md:1 doc->REQ-3"}));
}

TEST(ScanTreeOnWindows, RecordPathsUseSlashesHoweverTheRootsAreWritten) {
  TempProject project;
  project.write("src/deep/a.rs", "// [impl->REQ-1]\n");
  const std::string path = platform::path_bytes(project.path());
  const std::string from_top =
      path.substr(platform::windows_path_prefix(std::string_view(path)).length);
  const std::string leaf = platform::path_bytes(project.path().filename());
  const auto upper = [](std::string text) {
    for (char& c : text) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
  };
  const struct {
    std::string root;
    std::string tag;
  } cases[] = {
      {"src\\deep", "tag src/deep/a.rs:1 impl->REQ-1"},
      {"src/deep/", "tag src/deep/a.rs:1 impl->REQ-1"},
      {".\\src", "tag src/deep/a.rs:1 impl->REQ-1"},
      {"src\\deep\\..\\deep", "tag src/deep/../deep/a.rs:1 impl->REQ-1"},
      {"src\\deep\\a.rs", "tag src/deep/a.rs:1 impl->REQ-1"},
      {from_top + "\\src", "tag src/deep/a.rs:1 impl->REQ-1"},
      {".", "tag src/deep/a.rs:1 impl->REQ-1"},
      // A last name of only dots and spaces is dropped, as Windows drops it.
      {"src\\deep\\ ", "tag src/deep/a.rs:1 impl->REQ-1"},
      {" ", "tag src/deep/a.rs:1 impl->REQ-1"},
      {from_top + "\\...", "tag src/deep/a.rs:1 impl->REQ-1"},
      // In another case, names as the disk spells them; the project as the run names it.
      {"SRC\\Deep", "tag src/deep/a.rs:1 impl->REQ-1"},
      {upper(from_top) + "\\SRC", "tag src/deep/a.rs:1 impl->REQ-1"},
      {upper(from_top) + "\\..\\" + leaf + "\\SRC",
       "tag ../" + leaf + "/src/deep/a.rs:1 impl->REQ-1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(sorted(describe(scan(project.path(), {c.root}))), std::vector<std::string>{c.tag})
        << c.root;
  }
  // The project named in its verbatim form, as the canonical form gives it.
  const fs::path verbatim(L"\\\\?\\" + project.path().native());
  EXPECT_EQ(sorted(describe(scan(verbatim, {"src\\deep", from_top + "\\src"}))),
            (std::vector<std::string>{"tag src/deep/a.rs:1 impl->REQ-1",
                                      "tag src/deep/a.rs:1 impl->REQ-1"}));
}

TEST(ScanTreeOnWindows, ScansPastMaxPath) {
  TempProject project;
  const fs::path deep = testing::make_long_directory(project.path() / "src", MAX_PATH + 40);
  testing::write_file(deep / "leaf.rs", "// [impl->REQ-1]\n");
  std::string expected = "tag " + platform::path_bytes(deep.lexically_relative(project.path()));
  std::replace(expected.begin(), expected.end(), '\\', '/');
  EXPECT_EQ(sorted(describe(scan(project.path(), {"src"}))),
            std::vector<std::string>{expected + "/leaf.rs:1 impl->REQ-1"});
}

TEST(ScanTreeOnWindows, UnpairedSurrogateNamesBecomeReplacementCharacters) {
  TempProject project;
  project.mkdir("src");
  std::wstring name = L"x";
  name += wchar_t(0xD800);
  name += L".rs";
  const fs::path file = project.path() / "src" / name;
  const HANDLE created = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
  if (created == INVALID_HANDLE_VALUE) {
    GTEST_SKIP() << "this system creates no name that holds an unpaired surrogate (wine cannot "
                    "store one in a Unix name): "
                 << platform::os_error_text(static_cast<int>(::GetLastError()))
                 << "; RecordPathOnWindows.UnpairedSurrogatesBecomeReplacementCharacters shows the "
                    "conversion";
  }
  DWORD written = 0;
  ::WriteFile(created, "// [impl->REQ-1]\n", 17, &written, nullptr);
  ::CloseHandle(created);
  EXPECT_EQ(sorted(describe(scan(project.path(), {"src"}))),
            std::vector<std::string>{"tag src/x\xEF\xBF\xBD.rs:1 impl->REQ-1"});
}

}  // namespace
}  // namespace quorvane
