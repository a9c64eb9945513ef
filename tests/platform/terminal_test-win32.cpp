// The terminal test and the environment on Windows.
#include "platform/terminal.hpp"

#include <windows.h>

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "std_handle-win32.hpp"

namespace quorvane::platform {
namespace {

using testing::StdHandleOverride;

// Sets a variable for the test's life (nullptr: removes it), then removes it.
class ScopedVariable {
 public:
  ScopedVariable(const wchar_t* name, const wchar_t* value) : name_(name) {
    ::SetEnvironmentVariableW(name_, value);
  }
  ~ScopedVariable() { ::SetEnvironmentVariableW(name_, nullptr); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const wchar_t* name_;
};

struct VariableCase {
  const char* label;
  std::wstring value;
  std::optional<std::string> expected;
};

class EnvironmentVariable : public ::testing::TestWithParam<VariableCase> {};

TEST_P(EnvironmentVariable, ComesAsUtf8) {
  const VariableCase& c = GetParam();
  const ScopedVariable set(L"QUORVANE_TEST_VALUE", c.value.c_str());
  EXPECT_EQ(environment_variable("QUORVANE_TEST_VALUE"), c.expected) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EnvironmentVariable,
    ::testing::Values(
        VariableCase{"ASCII", L"xterm-256color", "xterm-256color"},
        VariableCase{"non-ASCII", L"v\u00e4rde \u2014 \u2713 \U0001F600",
                     "v\xC3\xA4rde \xE2\x80\x94 \xE2\x9C\x93 \xF0\x9F\x98\x80"},
        // Set but empty is not unset: NO_COLOR="" leaves colour on, CI="" still counts.
        VariableCase{"empty", L"", ""},
        VariableCase{"an unpaired surrogate", L"a\xD800z", "a\xEF\xBF\xBDz"},
        // Longer than the first buffer.
        VariableCase{"long", std::wstring(20000, L'x'), std::string(20000, 'x')}));

TEST(EnvironmentVariableNames, MatchWithoutRegardToCase) {
  const ScopedVariable set(L"Quorvane_Test_Mixed", L"on");
  EXPECT_EQ(environment_variable("QUORVANE_TEST_MIXED"), "on");
  EXPECT_EQ(environment_variable("quorvane_test_mixed"), "on");
  EXPECT_EQ(environment_variable("Quorvane_Test_Mixed"), "on");
}

TEST(EnvironmentVariableNames, AMissingVariableIsNone) {
  ::SetEnvironmentVariableW(L"QUORVANE_TEST_MISSING", nullptr);
  EXPECT_EQ(environment_variable("QUORVANE_TEST_MISSING"), std::nullopt);
}

TEST(TerminalTest, FilesPipesAndTheNullDeviceAreNotTerminals) {
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  ASSERT_TRUE(::CreatePipe(&read_end, &write_end, nullptr, 0));
  // A character device that takes no colour: the C runtime's isatty would say yes to it.
  HANDLE null_device = ::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(null_device, INVALID_HANDLE_VALUE);
  for (const HANDLE handle : {write_end, null_device, static_cast<HANDLE>(nullptr)}) {
    for (const auto& [which, stream] :
         {std::pair{STD_OUTPUT_HANDLE, Stream::Out}, std::pair{STD_ERROR_HANDLE, Stream::Err}}) {
      const StdHandleOverride redirected(which, handle);
      EXPECT_FALSE(is_terminal(stream));
      // Forced colour reaches them as bytes; nothing to switch.
      EXPECT_TRUE(prepare_for_colour(stream));
    }
  }
  ::CloseHandle(null_device);
  ::CloseHandle(read_end);
  ::CloseHandle(write_end);
}

TEST(TerminalTest, AConsoleIsATerminal) {
  DWORD mode = 0;
  if (!::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode)) {
    GTEST_SKIP() << "standard output is not a console (run the test program in one, e.g. under "
                    "`script`, to show it)";
  }
  EXPECT_TRUE(is_terminal(Stream::Out));
}

}  // namespace
}  // namespace quorvane::platform
