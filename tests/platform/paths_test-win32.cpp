#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/paths.hpp"

namespace quorvane::platform {
namespace {

namespace fs = std::filesystem;

TEST(JoinPathOnWindows, InsertsABackslashOrStartsFromTheTopOfBasesDrive) {
  struct Case {
    std::wstring base;
    std::string relative;
    std::wstring expected;
  };
  const std::vector<Case> cases = {
      {L"C:\\p", "src", L"C:\\p\\src"},
      {L"C:\\p\\", "src", L"C:\\p\\src"},
      {L"C:/p/", "src/a", L"C:/p/src/a"},
      {L"C:\\p", "", L"C:\\p\\"},
      {L"C:\\p", "C:x", L"C:\\p\\C:x"},  // joined as text: not relative to the drive
      {L"C:\\p", "\\x\\y", L"C:\\x\\y"},
      {L"C:\\p", "/x/y", L"C:\\x/y"},
      {L"C:\\p", "\\", L"C:\\"},
      {L"c:\\p", "\\\\x", L"c:\\x"},
      {L"\\\\?\\C:\\p", "\\x", L"\\\\?\\C:\\x"},
      {L"\\\\server\\share\\p", "\\x", L"\\\\server\\share\\x"},
      {L"//server/share/p", "/x", L"//server/share\\x"},
      {L"\\\\?\\UNC\\server\\share\\p", "\\x", L"\\\\?\\UNC\\server\\share\\x"},
      {L"\\p", "\\x", L"\\x"},  // no prefix: the top of the current drive
      {L"C:\\p", "\xC3\xA9", L"C:\\p\\\u00e9"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(path_bytes(join_path(fs::path(c.base), c.relative)), path_bytes(fs::path(c.expected)))
        << path_bytes(fs::path(c.base)) << " + " << c.relative;
  }
}

TEST(PathBytesOnWindows, AreUtf8WithUnpairedSurrogatesReplaced) {
  const fs::path path(std::wstring(L"C:\\d\u00e9\\x") + wchar_t(0xD800) + L"y\\" + wchar_t(0xDC00) +
                      L".rs");
  EXPECT_EQ(path_bytes(path), "C:\\d\xC3\xA9\\x\xEF\xBF\xBDy\\\xEF\xBF\xBD.rs");
  std::string scratch;
  EXPECT_EQ(path_bytes(path, scratch), "C:\\d\xC3\xA9\\x\xEF\xBF\xBDy\\\xEF\xBF\xBD.rs");
  EXPECT_EQ(file_name_bytes(path.native(), scratch), "\xEF\xBF\xBD.rs");
  EXPECT_EQ(file_name_bytes(L"a/b\\c/d.md", scratch), "d.md");
  EXPECT_EQ(path_from_utf8("d\xC3\xA9/\xF0\x9F\x98\x80").native(), L"d\u00e9/\U0001F600");
}

}  // namespace
}  // namespace quorvane::platform
