#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/paths.hpp"
#include "scan/scanner.hpp"

namespace quorvane {
namespace {

namespace fs = std::filesystem;

TEST(RecordPathOnWindows, SplitsOnBothSeparatorsAndJoinsWithSlashes) {
  struct Case {
    std::string root;
    std::string path;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"C:\\p", "C:\\p\\src\\auth\\login.rs", "src/auth/login.rs"},
      {"C:\\p", "C:/p/src/a.rs", "src/a.rs"},
      {"C:/p/", "C:\\p\\src/x\\.\\a.rs", "src/x/a.rs"},
      {"\\\\?\\C:\\p", "\\\\?\\C:\\p\\src\\a.rs", "src/a.rs"},
      {"\\\\server\\share\\p", "\\\\server\\share\\p\\a.rs", "a.rs"},
      {"C:\\p", "C:\\p\\a\\..\\b\\x.md", "a/../b/x.md"},
      {"C:\\p", "C:\\p", ""},
      // Outside the project: the prefix as written, the root as "\", then the names.
      {"C:\\p", "D:\\p\\a.rs", "D:/\\/p/a.rs"},
      {"C:\\p", "C:\\pq\\a.rs", "C:/\\/pq/a.rs"},
      {"C:\\p", "\\\\server\\share\\a.rs", "\\\\server\\share/\\/a.rs"},
      {"C:\\p", "\\\\?\\C:\\p\\a.rs", "\\\\?\\C:/\\/p/a.rs"},
      {"C:\\p", "\\p\\a.rs", "\\/p/a.rs"},
      {"C:\\p", "C:a.rs", "C:/a.rs"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(record_path(platform::path_from_utf8(c.root), platform::path_from_utf8(c.path)),
              c.expected)
        << c.root << " | " << c.path;
  }
}

TEST(RecordPathOnWindows, UnpairedSurrogatesBecomeReplacementCharacters) {
  std::wstring path = L"C:\\p\\d";
  path += wchar_t(0xDC00);
  path += L"\\x";
  path += wchar_t(0xD800);
  path += L".rs";
  EXPECT_EQ(record_path(fs::path(L"C:\\p"), fs::path(path)), "d\xEF\xBF\xBD/x\xEF\xBF\xBD.rs");
}

}  // namespace
}  // namespace quorvane
