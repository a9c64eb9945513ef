#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "helpers/temp_project.hpp"
#include "helpers/windows_fixtures.hpp"
#include "platform/paths.hpp"
#include "platform/read_file.hpp"

namespace quorvane::platform {
namespace {

namespace fs = std::filesystem;
using testing::TempProject;

TEST(ReadFileOnWindows, FileHeldWithoutSharingIsASharingViolation) {
  TempProject project;
  project.write("locked.md", "[doc->REQ-1]\n");
  const testing::LockedFile lock(project.path() / "locked.md");
  const Result<std::string> text = read_utf8_file(project.path() / "locked.md");
  ASSERT_FALSE(text);
  EXPECT_EQ(text.error(), os_error_text(ERROR_SHARING_VIOLATION));
}

TEST(ReadFileOnWindows, FileThatAnotherWritesWhileSharingIsRead) {
  TempProject project;
  const fs::path path = project.path() / "open.md";
  const HANDLE writer = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE) << os_error_text(static_cast<int>(::GetLastError()));
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(writer, "written", 7, &written, nullptr));
  const Result<std::string> text = read_utf8_file(path);
  ::CloseHandle(writer);
  ASSERT_TRUE(text) << text.error();
  EXPECT_EQ(text.value(), "written");
}

TEST(ReadFileOnWindows, DevicesAndDirectoriesAreRefusedWithTheOsText) {
  TempProject project;
  project.mkdir("folder.md");
  const struct {
    fs::path path;
    int code;
  } cases[] = {
      {L"NUL", ERROR_NOT_SUPPORTED},
      {L"\\\\.\\NUL", ERROR_NOT_SUPPORTED},
      {project.path() / "folder.md", ERROR_ACCESS_DENIED},
  };
  for (const auto& c : cases) {
    const Result<std::string> text = read_utf8_file(c.path);
    ASSERT_FALSE(text) << path_bytes(c.path);
    EXPECT_EQ(text.error(), os_error_text(c.code)) << path_bytes(c.path);
  }
}

TEST(ReadFileOnWindows, ReadsPastMaxPathAndUnicodeNames) {
  TempProject project;
  const fs::path deep = testing::make_long_directory(project.path(), MAX_PATH + 40);
  const fs::path long_file = deep / "leaf.md";
  testing::write_file(long_file, "far down\n");
  const fs::path unicode_file =
      project.path() / path_from_utf8("caf\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x98\x80.md");
  testing::write_file(unicode_file, "\xC3\xA9\n");
  std::string buffer;
  for (const auto& [path, content] :
       {std::pair{long_file, "far down\n"}, std::pair{unicode_file, "\xC3\xA9\n"}}) {
    const Result<std::string_view> text = read_utf8_file(path.native(), buffer);
    ASSERT_TRUE(text) << path_bytes(path) << ": " << text.error();
    EXPECT_EQ(text.value(), content);
  }
}

}  // namespace
}  // namespace quorvane::platform
