#include "platform/path_prefix.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvane::platform {
namespace {

TEST(WindowsPathPrefix, NamesTheKindAndTheLengthOfTheFrontPart) {
  struct Case {
    std::string_view path;
    PrefixKind kind;
    std::string_view prefix;
  };
  const std::vector<Case> cases = {
      {"C:\\x", PrefixKind::Disk, "C:"},
      {"c:x", PrefixKind::Disk, "c:"},
      {"C:", PrefixKind::Disk, "C:"},
      {"\\\\?\\C:\\x", PrefixKind::VerbatimDisk, "\\\\?\\C:"},
      {"\\\\?\\C:", PrefixKind::VerbatimDisk, "\\\\?\\C:"},
      {"\\\\?\\C:x", PrefixKind::Verbatim, "\\\\?\\C:x"},  // no drive without the backslash
      {"\\\\?\\UNC\\server\\share\\x", PrefixKind::VerbatimUnc, "\\\\?\\UNC\\server\\share"},
      {"\\\\?\\UNC\\server", PrefixKind::VerbatimUnc, "\\\\?\\UNC\\server"},
      {"\\\\?\\Volume{1}\\x", PrefixKind::Verbatim, "\\\\?\\Volume{1}"},
      {"\\\\?\\C:/x", PrefixKind::Verbatim, "\\\\?\\C:/x"},  // "/" separates nothing there
      {"\\\\.\\NUL", PrefixKind::Device, "\\\\.\\NUL"},
      {"//./pipe/x", PrefixKind::Device, "//./pipe"},
      {"\\\\server\\share\\x", PrefixKind::Unc, "\\\\server\\share"},
      {"//server/share", PrefixKind::Unc, "//server/share"},
      {"\\\\server", PrefixKind::None, ""},
      {"\\\\server\\", PrefixKind::None, ""},
      {"\\\\\\share", PrefixKind::None, ""},
      {"\\x", PrefixKind::None, ""},
      {"/x", PrefixKind::None, ""},
      {"1:\\x", PrefixKind::None, ""},
      {"x", PrefixKind::None, ""},
      {"", PrefixKind::None, ""},
  };
  for (const Case& c : cases) {
    const PathPrefix got = windows_path_prefix(c.path);
    EXPECT_EQ(got.kind, c.kind) << c.path;
    EXPECT_EQ(c.path.substr(0, got.length), c.prefix) << c.path;
    // The same rule for the UTF-16 names of Windows.
    const std::u16string wide(c.path.begin(), c.path.end());
    EXPECT_EQ(windows_path_prefix(std::u16string_view(wide)).length, got.length) << c.path;
  }
}

}  // namespace
}  // namespace quorvane::platform
