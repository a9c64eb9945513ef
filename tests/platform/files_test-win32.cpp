#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "helpers/os_texts.hpp"
#include "helpers/temp_project.hpp"
#include "helpers/windows_fixtures.hpp"
#include "platform/files.hpp"
#include "platform/paths.hpp"
#include "platform/utf16.hpp"
#include "platform/win32_support.hpp"

namespace quorvane::platform {
namespace {

namespace fs = std::filesystem;
using testing::TempProject;

TEST(CurrentDirectoryOnWindows, IsTheWholeUnicodeName) {
  TempProject project;
  const fs::path folder =
      project.path() / path_from_utf8("caf\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x98\x80");
  fs::create_directories(folder);
  const testing::CurrentDirectoryScope scope(folder);
  const Result<fs::path> current = current_directory();
  ASSERT_TRUE(current) << current.error();
  EXPECT_EQ(path_bytes(current.value()), path_bytes(folder));
}

TEST(CurrentDirectoryOnWindows, GrowsPastMaxPath) {
  TempProject project;
  const fs::path folder = testing::make_long_directory(project.path(), MAX_PATH + 40);
  const testing::CurrentDirectoryScope restore;
  if (!::SetCurrentDirectoryW(folder.c_str())) {
    GTEST_SKIP() << "this system keeps the current directory within MAX_PATH: "
                 << win32::last_error_text();
  }
  const Result<fs::path> current = current_directory();
  ASSERT_TRUE(current) << current.error();
  EXPECT_GT(current.value().native().size(), static_cast<std::size_t>(MAX_PATH));
  EXPECT_EQ(path_bytes(current.value()), path_bytes(folder));
}

TEST(CanonicalPathOnWindows, EveryFormOfAPathGivesOneVerbatimName) {
  TempProject project;
  project.write("src/x/a.md", "");
  const Result<fs::path> expected = canonical_path(project.path() / "src");
  ASSERT_TRUE(expected) << expected.error();
  const std::wstring& name = expected.value().native();
  EXPECT_EQ(name.substr(0, 4), L"\\\\?\\") << path_bytes(expected.value());

  const testing::CurrentDirectoryScope scope(project.path());
  const std::string top = path_bytes(project.path());
  std::string slashed = top;
  for (char& c : slashed) {
    if (c == '\\') c = '/';
  }
  const std::string drive = top.substr(0, 2);
  const std::vector<std::string> forms = {
      top + "\\src",
      slashed + "/src/",
      top + "\\src\\x\\..\\.\\",
      "\\\\?\\" + top + "\\src",
      "\\\\?\\" + top + "\\src\\x\\..\\./",
      "src",
      ".\\x\\..\\src",
      drive + "src",            // relative to the drive's current directory, which is the project
      top.substr(2) + "\\src",  // from the top of the current drive
  };
  for (const std::string& form : forms) {
    const Result<fs::path> got = canonical_path(path_from_utf8(form));
    ASSERT_TRUE(got) << form << ": " << got.error();
    EXPECT_EQ(got.value(), expected.value()) << form;
  }
}

TEST(CanonicalPathOnWindows, NamesALockedFileAndOpensDirectories) {
  TempProject project;
  project.write("locked.md", "x");
  const testing::LockedFile lock(project.path() / "locked.md");
  const Result<fs::path> file = canonical_path(project.path() / "locked.md");
  ASSERT_TRUE(file) << file.error();
  std::string scratch;
  EXPECT_EQ(file_name_bytes(file.value().native(), scratch), "locked.md");
  EXPECT_TRUE(canonical_path(project.path()));
}

TEST(CanonicalPathOnWindows, WorksPastMaxPath) {
  TempProject project;
  const fs::path folder = testing::make_long_directory(project.path(), MAX_PATH + 40);
  const Result<fs::path> got = canonical_path(folder);
  if (!got && got.error() == os_error_text(ERROR_MORE_DATA)) {
    GTEST_SKIP() << "GetFinalPathNameByHandleW of this system gives no name past MAX_PATH "
                    "(wine's keeps a fixed buffer): "
                 << got.error();
  }
  ASSERT_TRUE(got) << got.error();
  EXPECT_EQ(got.value().native().substr(0, 4), L"\\\\?\\");
  EXPECT_GT(got.value().native().size(), static_cast<std::size_t>(MAX_PATH));
}

TEST(StartsWithComponentsOnWindows, PrefixesAndBothSeparators) {
  struct Case {
    std::string path;
    std::string base;
    bool starts;
  };
  const std::vector<Case> cases = {
      {"\\\\?\\C:\\p\\src", "\\\\?\\C:\\p", true},
      {"\\\\?\\C:\\p", "\\\\?\\C:\\p", true},
      {"\\\\?\\C:\\pq", "\\\\?\\C:\\p", false},
      {"\\\\?\\C:\\p", "\\\\?\\C:\\p\\src", false},
      {"\\\\?\\D:\\p\\src", "\\\\?\\C:\\p", false},
      {"\\\\?\\c:\\p\\src", "\\\\?\\C:\\p", true},  // drive letters ignore case
      {"C:/p/src", "\\\\?\\C:\\p\\", true},         // the plain and the verbatim form of one drive
      {"\\\\?\\C:\\p/src", "C:\\p", true},
      {"C:p", "C:\\p", false},  // relative to the drive's directory, not rooted
      {"\\p\\src", "C:\\p", false},
      {"\\\\?\\UNC\\server\\share\\p\\x", "\\\\server\\share\\p", true},
      {"\\\\Server\\Share\\p", "//server/share", true},
      {"\\\\server\\other\\p", "\\\\server\\share", false},
      {"\\\\?\\UNC\\server\\share", "\\\\?\\C:\\", false},
      {"\\\\?\\Volume{1}\\p", "\\\\?\\Volume{1}", true},
      {"\\\\.\\pipe\\x", "\\\\.\\pipe", true},
      {"\\\\?\\C:\\p\\Src", "\\\\?\\C:\\p\\src", false},  // names compare exactly
  };
  for (const Case& c : cases) {
    EXPECT_EQ(starts_with_components(path_from_utf8(c.path), path_from_utf8(c.base)), c.starts)
        << c.path << " vs " << c.base;
  }
}

}  // namespace
}  // namespace quorvane::platform
