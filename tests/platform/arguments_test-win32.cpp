// The program's arguments on Windows come from its UTF-16 command line, split by the system's
// rules. The test program starts itself with a crafted command line, and its child prints what
// program_arguments gave it.
#include "platform/arguments.hpp"

#include <windows.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "helpers/command_line-win32.hpp"
#include "helpers/environment.hpp"
#include "platform/utf16.hpp"
#include "platform/win32_support.hpp"

namespace quorvane::platform {
namespace {

constexpr const wchar_t* kChildTest = L"ArgumentsChild.DISABLED_PrintsItsArguments";

// Each argument as hexadecimal bytes on a line of its own, between two marker lines, so that
// the test runner's own output around them does not matter.
TEST(ArgumentsChild, DISABLED_PrintsItsArguments) {
  std::printf("<arguments>\n");
  for (const std::string& argument : program_arguments(0, nullptr)) {
    std::printf("[");
    for (const char byte : argument) std::printf("%02x", static_cast<unsigned char>(byte));
    std::printf("]\n");
  }
  std::printf("</arguments>\n");
}

std::wstring own_path() {
  return testing::running_program().native();
}

using win32::to_utf8;

std::vector<std::string> printed_arguments(const std::string& out) {
  std::vector<std::string> arguments;
  std::istringstream lines(out);
  std::string line;
  bool inside = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == "<arguments>") inside = true;
    if (line == "</arguments>") break;
    if (!inside || line.size() < 2 || line.front() != '[' || line.back() != ']') continue;
    std::string bytes;
    for (std::size_t i = 1; i + 1 < line.size() - 1; i += 2) {
      bytes += static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16));
    }
    arguments.push_back(bytes);
  }
  return arguments;
}

// What the child sees after the words that start it: its path and the two options that choose
// the child test.
struct ChildArguments {
  std::string program;
  std::vector<std::string> rest;
};

ChildArguments child_arguments(const std::wstring& tail) {
  const std::wstring self = own_path();
  const std::wstring command_line = L"\"" + self + L"\" --gtest_filter=" + kChildTest +
                                    L" --gtest_also_run_disabled_tests " + tail;
  const quorvane::testing::ProcessResult result =
      quorvane::testing::run_command_line(to_utf8(self), command_line, {});
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  std::vector<std::string> printed = printed_arguments(result.out);
  if (printed.size() < 3) {
    ADD_FAILURE() << "the child printed no arguments:\n" << result.out << result.err;
    return {};
  }
  return {printed[0], std::vector<std::string>(printed.begin() + 3, printed.end())};
}

std::string shown(const std::vector<std::string>& arguments) {
  std::string out;
  for (const std::string& argument : arguments) out += "[" + argument + "]";
  return out;
}

struct CommandLineCase {
  const char* label;
  std::wstring tail;
  std::vector<std::string> expected;
};

class ProgramArguments : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(ProgramArguments, AreSplitByTheSystemsRulesAndConvertedToUtf8) {
  const CommandLineCase& c = GetParam();
  const ChildArguments arguments = child_arguments(c.tail);
  EXPECT_EQ(arguments.rest, c.expected)
      << c.label << ": " << shown(arguments.rest) << " instead of " << shown(c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgramArguments,
    ::testing::Values(
        CommandLineCase{"words", L"list --type FUNC", {"list", "--type", "FUNC"}},
        CommandLineCase{"blanks and tabs between", L"a  \t b", {"a", "b"}},
        CommandLineCase{"quoted blanks", L"\"two words\" x", {"two words", "x"}},
        CommandLineCase{"quotes inside a word", L"a\"b c\"d", {"ab cd"}},
        CommandLineCase{"escaped quote", L"a\\\"b", {"a\"b"}},
        CommandLineCase{"backslashes not before a quote", L"C:\\dir\\\\x\\", {"C:\\dir\\\\x\\"}},
        CommandLineCase{"even backslashes before a quote", L"\"a\\\\\" b", {"a\\", "b"}},
        CommandLineCase{"odd backslashes before a quote", L"\"a\\\\\\\"b\"", {"a\\\"b"}},
        CommandLineCase{"empty argument", L"\"\" x", {"", "x"}},
        CommandLineCase{"open quote to the end", L"\"to the end", {"to the end"}},
        CommandLineCase{"non-ASCII",
                        L"\"\u00e9t\u00e9 \u2014 \U0001F600\" \u00fc",
                        {"\xC3\xA9t\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x98\x80", "\xC3\xBC"}},
        // Not UTF-8, so that the parser refuses them as it refuses such bytes elsewhere.
        CommandLineCase{"unpaired high surrogate", L"x\xD800y", {"x\xED\xA0\x80y"}},
        CommandLineCase{"unpaired low surrogate", L"\xDC00", {"\xED\xB0\x80"}},
        CommandLineCase{"pair in the wrong order", L"\xDE00\xD83D", {"\xED\xB8\x80\xED\xA0\xBD"}}));

TEST(ProgramArgumentsPath, ComesFromTheCommandLineToo) {
  EXPECT_EQ(child_arguments(L"").program, to_utf8(own_path()));
}

}  // namespace
}  // namespace quorvane::platform
