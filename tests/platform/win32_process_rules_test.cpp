#include "platform/win32_process_rules.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/utf16.hpp"

namespace quorvane::platform::win32 {
namespace {

using namespace std::string_view_literals;

// The arguments after the program name, split by the C runtime's rules as Microsoft documents
// them: white space outside quotes ends an argument; 2n backslashes before a quote give n and
// the quote opens or closes a quoted part, 2n+1 give n and a literal quote; other backslashes
// are literal; inside a quoted part, two quotes give one literal quote.
std::vector<std::u16string> split_like_the_c_runtime(std::u16string_view line) {
  std::size_t i = 0;
  // The program name: up to the closing quote, or to white space, with no escapes.
  if (i < line.size() && line[i] == u'"') {
    i = line.find(u'"', 1);
    i = i == std::u16string_view::npos ? line.size() : i + 1;
  } else {
    while (i < line.size() && line[i] != u' ' && line[i] != u'\t') ++i;
  }
  std::vector<std::u16string> arguments;
  for (;;) {
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t')) ++i;
    if (i == line.size()) return arguments;
    std::u16string argument;
    bool quoted = false;
    while (i < line.size() && (quoted || (line[i] != u' ' && line[i] != u'\t'))) {
      if (line[i] == u'\\') {
        std::size_t count = 0;
        while (i < line.size() && line[i] == u'\\') ++count, ++i;
        if (i < line.size() && line[i] == u'"') {
          argument.append(count / 2, u'\\');
          if (count % 2 == 1) argument += line[i++];
        } else {
          argument.append(count, u'\\');
        }
      } else if (line[i] == u'"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
          argument += u'"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        argument += line[i++];
      }
    }
    arguments.push_back(std::move(argument));
  }
}

struct QuoteCase {
  std::u16string argument;
  std::u16string quoted;
};

TEST(AppendQuotedArgument, QuotesOnlyWhatNeedsItAndEscapesByTheCRuntimeRules) {
  const QuoteCase cases[] = {
      {u"plain", u"plain"},
      {u"C:\\dir\\file", u"C:\\dir\\file"},  // backslashes before no quote stay single
      {u"", u"\"\""},
      {u"a b", u"\"a b\""},
      {u"a\tb", u"\"a\tb\""},
      {u"a\nb", u"\"a\nb\""},
      {u"a\"b", u"\"a\\\"b\""},
      {u"\"", u"\"\\\"\""},
      {u"dir\\ x\\", u"\"dir\\ x\\\\\""},    // a closing quote after backslashes doubles them
      {u"a\\\"b", u"\"a\\\\\\\"b\""},        // one backslash before a quote: three and the quote
      {u"a\\\\\"b", u"\"a\\\\\\\\\\\"b\""},  // two: five and the quote
      {u"trailing\\", u"trailing\\"},        // no quoting, so nothing closes after them
      {u"\u00e4 \u65e5", u"\"\u00e4 \u65e5\""},
  };
  for (const auto& c : cases) {
    std::u16string line = u"x";
    append_quoted_argument(line, c.argument);
    EXPECT_EQ(line, u"x" + c.quoted) << utf16_to_utf8(c.argument);
  }
}

TEST(CommandLine, EveryArgumentComesBackWholeFromTheCRuntimesSplit) {
  const std::vector<std::string> arguments = {
      "",
      "a b",
      "\"",
      "\"\"",
      "a\"\"b",
      "\\",
      "\\\\",
      "ends\\",
      "ends \\",
      "\\\"",
      "\\\\\"",
      "x\\\\\\\"y",
      "\t",
      " ",
      "line\nfeed",
      "-C",
      "C:\\My Repo\\",
      "\\\\srv\\share\\",
      "HEAD~2",
      "rev \"q\" \\",
      "%PATH%",
      "a&b|c^d",
      "\xc3\xa4\xf0\x9f\x98\x80",
  };
  const std::u16string line = command_line(u"C:\\Program Files\\Git\\cmd\\git.exe", arguments);
  EXPECT_TRUE(line.starts_with(u"\"C:\\Program Files\\Git\\cmd\\git.exe\" "));
  std::vector<std::u16string> expected;
  for (const std::string& argument : arguments) expected.push_back(utf8_to_utf16(argument));
  EXPECT_EQ(split_like_the_c_runtime(line), expected);
}

TEST(CommandLine, ProgramAloneIsQuotedWhole) {
  EXPECT_EQ(command_line(u"C:\\Git\\git.exe", {}), u"\"C:\\Git\\git.exe\"");
  EXPECT_EQ(command_line(u"C:\\Git\\git.exe", {"-C", "C:\\work\\", "diff"}),
            u"\"C:\\Git\\git.exe\" -C C:\\work\\ diff");
}

TEST(NamesAPath, SeparatorsAndDriveColonsMakeAPath) {
  for (const auto program : {u"git"sv, u"git.exe"sv, u"my tool"sv}) {
    EXPECT_FALSE(names_a_path(program)) << utf16_to_utf8(program);
  }
  for (const auto program :
       {u"C:\\Git\\git.exe"sv, u"bin\\git"sv, u"bin/git"sv, u"C:git"sv, u"\\\\srv\\git"sv}) {
    EXPECT_TRUE(names_a_path(program)) << utf16_to_utf8(program);
  }
}

struct CandidateCase {
  const char* name;
  std::u16string program;
  std::u16string path;
  std::u16string pathext;
  std::vector<std::u16string> expected;
};

class PathCandidates : public ::testing::TestWithParam<CandidateCase> {};

TEST_P(PathCandidates, GivesTheFilesToTryInOrder) {
  const auto& c = GetParam();
  EXPECT_EQ(path_candidates(c.program, c.path, c.pathext), c.expected);
}

const CandidateCase kCandidateCases[] = {
    {"EachFolderWithEachStartableExtension",
     u"git",
     u"C:\\a;D:\\b\\",
     u".COM;.EXE;.BAT;.CMD",
     {u"C:\\a\\git.COM", u"C:\\a\\git.EXE", u"D:\\b\\git.COM", u"D:\\b\\git.EXE"}},
    {"ExtensionsInTheOrderAndSpellingOfPathext",
     u"git",
     u"C:\\a",
     u".exe;.JS;.Com",
     {u"C:\\a\\git.exe", u"C:\\a\\git.Com"}},
    {"RepeatedExtensionOnce", u"git", u"C:\\a", u".EXE;.exe", {u"C:\\a\\git.EXE"}},
    {"EmptyPathextMeansComThenExe", u"git", u"C:\\a", u"", {u"C:\\a\\git.COM", u"C:\\a\\git.EXE"}},
    {"PathextWithoutStartableExtensionsFindsNothing", u"git", u"C:\\a", u".BAT;.CMD", {}},
    {"NameWithAnExtensionAsItIs",
     u"git.exe",
     u"C:\\a;C:\\b",
     u".COM;.EXE",
     {u"C:\\a\\git.exe", u"C:\\b\\git.exe"}},
    {"BatchNameAsItIs", u"tool.bat", u"C:\\a", u".EXE", {u"C:\\a\\tool.bat"}},
    {"QuotedFolderAndForwardSlashes",
     u"git",
     u"\"C:\\Program Files\\Git\\cmd\";D:/tools/",
     u".EXE",
     {u"C:\\Program Files\\Git\\cmd\\git.EXE", u"D:/tools/git.EXE"}},
    {"ServerShare", u"git", u"\\\\srv\\share\\bin", u".EXE", {u"\\\\srv\\share\\bin\\git.EXE"}},
    {"NeitherTheCurrentFolderNorOneRelativeToIt",
     u"git",
     u";.;..;bin;.\\bin;\\rooted;C:relative;\"\";C:\\ok",
     u".EXE",
     {u"C:\\ok\\git.EXE"}},
    {"EmptyPath", u"git", u"", u".EXE", {}},
    {"EmptyName", u"", u"C:\\a", u".EXE", {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, PathCandidates, ::testing::ValuesIn(kCandidateCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RunsThroughCommandInterpreter, BatchFilesInAnySpelling) {
  for (const auto file :
       {u"x.bat"sv, u"C:\\dir\\X.CMD"sv, u"x.Bat."sv, u"x.cmd  "sv, u"x.bat. ."sv, u".bat"sv}) {
    EXPECT_TRUE(runs_through_command_interpreter(file)) << utf16_to_utf8(file);
  }
  for (const auto file : {u"x.exe"sv, u"C:\\dir.bat\\x.exe"sv, u"bat"sv, u"x.batch"sv,
                          u"x.bat.exe"sv, u"..."sv, u""sv}) {
    EXPECT_FALSE(runs_through_command_interpreter(file)) << utf16_to_utf8(file);
  }
}

TEST(EnvironmentEntries, TheStringsBetweenTheZeros) {
  EXPECT_EQ(environment_entries(u"=C:=C:\\work\0A=1\0EMPTY=\0\0"sv),
            (std::vector<std::u16string>{u"=C:=C:\\work", u"A=1", u"EMPTY="}));
  EXPECT_TRUE(environment_entries(u"\0"sv).empty());
}

TEST(EnvironmentName, TextBeforeTheFirstEqualsSignAfterALeadingOne) {
  EXPECT_EQ(environment_name(u"PATH=C:\\a"), u"PATH");
  EXPECT_EQ(environment_name(u"A==b"), u"A");
  EXPECT_EQ(environment_name(u"=C:=C:\\work"), u"=C:");
  EXPECT_EQ(environment_name(u"=::=::\\"), u"=::");
  EXPECT_EQ(environment_name(u"NO_VALUE"), u"NO_VALUE");
}

char16_t upper(char16_t c) {
  return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// Windows's comparison of names, for ASCII names: by upper-cased code units.
int compare_ignoring_case(std::u16string_view a, std::u16string_view b) {
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) return upper(a[i]) < upper(b[i]) ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int compare_exactly(std::u16string_view a, std::u16string_view b) {
  return a.compare(b);
}

TEST(EnvironmentBlock, ChangesEverySpellingOfANameAndKeepsTheRestSorted) {
  const std::vector<std::u16string> entries = {
      u"=C:=C:\\work", u"=D:=D:\\",     u"ALPHA=1",      u"LANGUAGE=de",
      u"Language=fr",  u"lc_all=de_DE", u"Path=C:\\bin", u"ZETA=z",
  };
  const EnvironmentChange change{{{"LC_ALL", "C"}, {"NEW_\xc3\xa4", "\xe2\x80\x94"}, {"b", "1"}},
                                 {"language", "NEVER_SET"}};
  EXPECT_EQ(environment_block(entries, change, compare_ignoring_case),
            u"=C:=C:\\work\0=D:=D:\\\0ALPHA=1\0b=1\0LC_ALL=C\0NEW_\u00e4=\u2014\0Path=C:\\bin\0"
            u"ZETA=z\0\0"sv);
}

TEST(EnvironmentBlock, NamesCompareByTheGivenComparison) {
  const std::vector<std::u16string> entries = {u"LANGUAGE=de", u"Language=fr"};
  const EnvironmentChange change{{}, {"Language"}};
  EXPECT_EQ(environment_block(entries, change, compare_exactly), u"LANGUAGE=de\0\0"sv);
  EXPECT_EQ(environment_block(entries, change, compare_ignoring_case), u"\0\0"sv);
}

TEST(EnvironmentBlock, ALaterSettingReplacesAnEarlierOneAndSettingBeatsRemoving) {
  const EnvironmentChange change{{{"X", "first"}, {"x", "second"}, {"Y", "set"}}, {"Y"}};
  EXPECT_EQ(environment_block({u"X=old", u"Y=old"}, change, compare_ignoring_case),
            u"x=second\0Y=set\0\0"sv);
}

TEST(EnvironmentBlock, EntriesOfEqualNamesKeepTheirOrder) {
  // The caller's block is taken as it comes; sorting moves only what must move.
  EXPECT_EQ(environment_block({u"b=2", u"B=1", u"a=0"}, {}, compare_ignoring_case),
            u"a=0\0b=2\0B=1\0\0"sv);
}

TEST(EnvironmentBlock, AnEmptyBlockIsTwoZeros) {
  EXPECT_EQ(environment_block({}, {}, compare_ignoring_case), u"\0\0"sv);
  EXPECT_EQ(environment_block({u"A=1"}, {{}, {"a"}}, compare_ignoring_case), u"\0\0"sv);
}

}  // namespace
}  // namespace quorvane::platform::win32
