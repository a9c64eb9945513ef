#include "platform/win32_support.hpp"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "helpers/windows_fixtures.hpp"

namespace quorvane::platform::win32 {
namespace {

namespace fs = std::filesystem;

struct FormCase {
  std::wstring path;
  std::wstring expected;
};

// Each path of `cases` in the form that `form` gives, with C:\windows the current directory; a
// NUL in a path is refused.
void expect_forms(Result<std::wstring> (*form)(const fs::path&),
                  const std::vector<FormCase>& cases) {
  const testing::CurrentDirectoryScope scope(fs::path(L"C:\\windows"));
  for (const FormCase& c : cases) {
    const Result<std::wstring> got = form(fs::path(c.path));
    ASSERT_TRUE(got) << to_utf8(c.path) << ": " << got.error();
    EXPECT_EQ(to_utf8(got.value()), to_utf8(c.expected)) << to_utf8(c.path);
  }
  const Result<std::wstring> with_nul = form(fs::path(std::wstring(L"C:\\a\0b", 6)));
  ASSERT_FALSE(with_nul);
  EXPECT_EQ(with_nul.error(), os_error_text(ERROR_INVALID_NAME));
}

// Both forms alike: absolute and verbatim, "." and ".." resolved by text.
const std::vector<FormCase> kCommonForms = {
    {L"C:\\a\\b", L"\\\\?\\C:\\a\\b"},
    {L"C:/a/./b/../c", L"\\\\?\\C:\\a\\c"},
    {L"C:\\a\\..\\..\\b", L"\\\\?\\C:\\b"},
    {L"C:\\", L"\\\\?\\C:\\"},
    {L"system32", L"\\\\?\\C:\\windows\\system32"},
    {L"..\\x", L"\\\\?\\C:\\x"},
    {L"\\x", L"\\\\?\\C:\\x"},
    {L"C:x", L"\\\\?\\C:\\windows\\x"},
    {L"\\\\server\\share\\a\\..\\b", L"\\\\?\\UNC\\server\\share\\b"},
    {L"//server/share/b", L"\\\\?\\UNC\\server\\share\\b"},
    {L"\\\\?\\C:\\a\\..\\b/./c", L"\\\\?\\C:\\b\\c"},
    {L"\\\\?\\C:\\..\\..", L"\\\\?\\C:\\"},  // never above the root
    {L"\\\\?\\UNC\\server\\share\\a\\..", L"\\\\?\\UNC\\server\\share\\"},
    {L"\\\\?\\C:\\a. \\b.", L"\\\\?\\C:\\a. \\b."},  // verbatim names are kept as they are
    {L"\\\\.\\NUL", L"\\\\.\\NUL"},
};

std::vector<FormCase> with_common_forms(std::vector<FormCase> cases) {
  cases.insert(cases.begin(), kCommonForms.begin(), kCommonForms.end());
  return cases;
}

TEST(SystemPath, IsAbsoluteVerbatimAndResolvedByText) {
  expect_forms(system_path, with_common_forms({
                                {L"NUL", L"\\\\.\\NUL"},
                                {L"C:\\a.\\b. ", L"\\\\?\\C:\\a\\b"},
                            }));
}

// The names of a plain path as written: none is trimmed or taken for a device.
TEST(VerbatimPath, IsAbsoluteVerbatimAndKeepsTheNamesAsWritten) {
  expect_forms(verbatim_path,
               with_common_forms({
                   {L"NUL", L"\\\\?\\C:\\windows\\NUL"},
                   {L"C:\\a.\\b. ", L"\\\\?\\C:\\a.\\b. "},
                   {L"C:\\x\\con.rs", L"\\\\?\\C:\\x\\con.rs"},
                   {L"system32\\d ", L"\\\\?\\C:\\windows\\system32\\d "},
                   {L"\\x. ", L"\\\\?\\C:\\x. "},
                   {L"C:lpt1", L"\\\\?\\C:\\windows\\lpt1"},
                   {L"\\\\server\\share\\a \\..\\b.", L"\\\\?\\UNC\\server\\share\\b."},
               }));
}

}  // namespace
}  // namespace quorvane::platform::win32
