// The environment on Windows.
#include "platform/environment.hpp"

#include <windows.h>

#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace quorvane::platform {
namespace {

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

}  // namespace
}  // namespace quorvane::platform
