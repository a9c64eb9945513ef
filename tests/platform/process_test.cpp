#include "platform/process.hpp"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "helpers/environment.hpp"
#include "platform/os_error.hpp"
#include "platform/paths.hpp"
#include "platform/system.hpp"
#include "stand_in/stand_in.hpp"

namespace quorvane::platform {
namespace {

using testing::ScopedVariable;
namespace stand_in = testing::stand_in;

ProcessSucceeded expect_success(const ProcessOutcome& outcome) {
  const auto* succeeded = std::get_if<ProcessSucceeded>(&outcome);
  EXPECT_NE(succeeded, nullptr) << "outcome index " << outcome.index();
  if (const auto* failed = std::get_if<ProcessFailed>(&outcome)) {
    ADD_FAILURE() << "status " << failed->status << ": " << failed->stderr_bytes;
  }
  if (const auto* not_started = std::get_if<ProcessNotStarted>(&outcome)) {
    ADD_FAILURE() << not_started->message;
  }
  return succeeded ? *succeeded : ProcessSucceeded{};
}

// The stand-in child program, by its full path.
std::string stand_in_program() {
  return path_bytes(std::filesystem::absolute(path_from_utf8(QUORVANE_STAND_IN)));
}

ProcessOutcome run_stand_in(const std::vector<std::string>& actions,
                            const EnvironmentChange& change = {}) {
  return run_program(stand_in_program(), actions, change);
}

ProcessOutcome run_shell(const std::string& script) {
  return run_program("sh", {"-c", script});
}

TEST(RunProgram, SuccessCarriesStdoutBytesUnchanged) {
  // Decoding is the caller's business: invalid UTF-8, NUL bytes and line ends come back as they
  // were written, with no CR added or taken away.
  const auto result =
      expect_success(run_stand_in({"--stdout-hex=61ff00620d0a0a", "--stderr=noise"}));
  EXPECT_EQ(result.stdout_bytes, std::string("a\xff\0b\r\n\n", 7));
}

TEST(RunProgram, NonZeroStatusCarriesStderrBytesAndStatus) {
  const auto outcome =
      run_stand_in({"--stdout=out", "--stderr-hex=66697273740a7365636f6e640a", "--exit=3"});
  const auto* failed = std::get_if<ProcessFailed>(&outcome);
  ASSERT_NE(failed, nullptr) << "outcome index " << outcome.index();
  EXPECT_EQ(failed->status, 3);
  EXPECT_EQ(failed->stderr_bytes, "first\nsecond\n");
}

TEST(RunProgram, ExitStatusIsReturned) {
  for (const int status : {1, 2, 100, 127, 255}) {
    const auto outcome = run_stand_in({"--exit=" + std::to_string(status)});
    const auto* failed = std::get_if<ProcessFailed>(&outcome);
    ASSERT_NE(failed, nullptr) << status;
    EXPECT_EQ(failed->status, status);
  }
  EXPECT_TRUE(std::holds_alternative<ProcessSucceeded>(run_stand_in({"--exit=0"})));
}

TEST(RunProgram, DeathBySignalIsAFailure) {
  if (kIsWindows) {
    GTEST_SKIP() << "a POSIX shell kills itself by a signal; Windows has none: a process ends "
                    "with an exit code (ExitStatusIsReturned)";
  }
  const auto outcome = run_shell("kill -TERM $$");
  const auto* failed = std::get_if<ProcessFailed>(&outcome);
  ASSERT_NE(failed, nullptr);
  EXPECT_EQ(failed->status, 128 + 15);
}

TEST(RunProgram, EachArgumentReachesTheProgramWholeWithoutAShell) {
  // Each case once alone and once among all the others, so that neither a quote nor a trailing
  // backslash can run into the next argument.
  const std::vector<std::string> cases = {
      "",
      "plain",
      "a b",
      " leading and trailing ",
      "\t",
      "tab\tinside",
      "line\nfeed",
      "\"",
      "\"\"",
      "say \"hi\"",
      "a\"b",
      "\\",
      "\\\\",
      "trailing\\",
      "trailing space\\ ",
      "C:\\Program Files\\",
      "\\\\server\\share\\",
      "a\\b\\c",
      "a\\\"b",
      "a\\\\\"b",
      "\\\"",
      "\"\\",
      "HEAD@{1}",
      "rev with spaces~2",
      "$HOME",
      "*",
      "?",
      "x;echo y",
      "a&b|c<d>e^f",
      "%PATH%",
      "'single'",
      "-n",
      "--end-of-options",
      "\xc3\xa4\xc3\xb6\xc3\xbc \xe2\x80\x94 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x98\x80",
  };
  for (const std::string& argument : cases) {
    const auto result = expect_success(run_stand_in({"--args", argument}));
    EXPECT_EQ(stand_in::records(result.stdout_bytes), std::vector<std::string>{argument})
        << "[" << argument << "]";
  }
  std::vector<std::string> all = {"--args"};
  all.insert(all.end(), cases.begin(), cases.end());
  const auto result = expect_success(run_stand_in(all));
  EXPECT_EQ(stand_in::records(result.stdout_bytes), cases);
}

TEST(RunProgram, StandardInputIsTheNullDevice) {
  // A child reading its input must see an immediate end, never the caller's own input.
  const auto result = expect_success(run_stand_in({"--stdin"}));
  EXPECT_EQ(result.stdout_bytes, "null device, 0 bytes\n");
}

TEST(RunProgram, ProgramNotOnPathGivesTheOsErrorOfAMissingFile) {
  const auto outcome = run_program("quorvane-no-such-program-on-path", {});
  const auto* not_started = std::get_if<ProcessNotStarted>(&outcome);
  ASSERT_NE(not_started, nullptr) << "outcome index " << outcome.index();
  EXPECT_EQ(not_started->message, os_error_text(2));
}

TEST(RunProgram, ProgramThatCannotStartGivesTheOsErrorText) {
  if (kIsWindows) {
    GTEST_SKIP() << "POSIX paths, texts and permission bits; "
                    "ProgramSearch.StartFailuresCarryTheSystemsCode shows what CreateProcessW "
                    "reports";
  }
  const std::filesystem::path not_executable = QUORVANE_SOURCE_DIR "/CMakeLists.txt";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"quorvane-no-such-program-on-path", "No such file or directory (os error 2)"},
      {"/nonexistent-dir/prog", "No such file or directory (os error 2)"},
      {not_executable.string(), "Permission denied (os error 13)"},
  };
  for (const auto& [program, message] : cases) {
    const auto outcome = run_program(program, {});
    const auto* not_started = std::get_if<ProcessNotStarted>(&outcome);
    ASSERT_NE(not_started, nullptr) << program;
    EXPECT_EQ(not_started->message, message) << program;
  }
}

TEST(RunProgram, MuchOutputOnBothStreamsDoesNotStall) {
  // Far beyond a pipe's buffer on stderr first: a reader that waits on stdout alone would hang.
  const auto result = expect_success(
      run_stand_in({"--stderr-bytes=3000000", "--stdout-bytes=2000000", "--stderr-bytes=1000000"}));
  EXPECT_EQ(result.stdout_bytes.size(), 2000000u);
  EXPECT_TRUE(result.stdout_bytes == stand_in::pattern(2000000)) << "bytes lost or out of order";

  const auto failed = run_stand_in(
      {"--stdout-bytes=3000000", "--stderr-bytes=2000000", "--stdout-bytes=1000000", "--exit=1"});
  ASSERT_TRUE(std::holds_alternative<ProcessFailed>(failed));
  const std::string& stderr_bytes = std::get<ProcessFailed>(failed).stderr_bytes;
  EXPECT_EQ(stderr_bytes.size(), 2000000u);
  EXPECT_TRUE(stderr_bytes == stand_in::pattern(2000000)) << "bytes lost or out of order";
}

std::size_t open_descriptor_count() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

TEST(RunProgram, LeavesNoDescriptorOpenInTheCaller) {
  if (kIsWindows) {
    GTEST_SKIP() << "counts the entries of /proc/self/fd; "
                    "RunProgramOnWindows.LeavesNoHandleOpenInTheCaller shows the same";
  }
  const auto before = open_descriptor_count();
  for (int i = 0; i < 20; ++i) {
    run_stand_in({"--stdout=out", "--stderr=err"});
    run_stand_in({"--exit=1"});
    run_program("quorvane-no-such-program-on-path", {});
  }
  EXPECT_EQ(open_descriptor_count(), before);
}

// fd number -> link target, as the child sees its own descriptors.
std::map<int, std::string> parse_fd_listing(const std::string& listing) {
  std::map<int, std::string> targets;
  std::istringstream lines(listing);
  std::string line;
  while (std::getline(lines, line)) {
    const auto arrow = line.find(" -> ");
    if (arrow == std::string::npos) continue;
    const auto name_start = line.rfind(' ', arrow - 1) + 1;
    targets[std::stoi(line.substr(name_start, arrow - name_start))] = line.substr(arrow + 4);
  }
  return targets;
}

TEST(RunProgram, ChildHoldsNoOtherEndOfItsOutputPipes) {
  if (kIsWindows) {
    GTEST_SKIP() << "a POSIX shell lists its descriptors in /proc; "
                    "RunProgramOnWindows.OnlyTheThreeStandardHandlesAreInherited shows the same";
  }
  // "; true" keeps the shell alive, so the listing shows the shell's descriptors, not ls's.
  const auto result = expect_success(run_shell("ls -l /proc/$$/fd; true"));
  const auto targets = parse_fd_listing(result.stdout_bytes);
  ASSERT_TRUE(targets.contains(0) && targets.contains(1) && targets.contains(2))
      << result.stdout_bytes;
  EXPECT_EQ(targets.at(0), "/dev/null");
  EXPECT_TRUE(targets.at(1).starts_with("pipe:")) << targets.at(1);
  EXPECT_TRUE(targets.at(2).starts_with("pipe:")) << targets.at(2);
  EXPECT_NE(targets.at(1), targets.at(2));
  for (const auto& [fd, target] : targets) {
    if (fd <= 2) continue;
    EXPECT_NE(target, targets.at(1)) << "fd " << fd << " is a copy of an output pipe";
    EXPECT_NE(target, targets.at(2)) << "fd " << fd << " is a copy of an output pipe";
  }
}

std::vector<std::string> sorted(std::vector<std::string> entries) {
  std::sort(entries.begin(), entries.end());
  return entries;
}

// The child's environment as "NAME=value" entries; zero-separated, so values may hold line feeds.
std::vector<std::string> child_environment(const EnvironmentChange& change) {
  return sorted(
      stand_in::records(expect_success(run_stand_in({"--env-all"}, change)).stdout_bytes));
}

std::vector<std::string> own_environment_except(const std::vector<std::string>& names) {
  std::vector<std::string> entries;
  for (const std::string& entry : testing::own_environment()) {
    // A leading "=" is part of the name (Windows's "=C:" entries).
    if (std::ranges::find(names, entry.substr(0, entry.find('=', 1))) == names.end()) {
      entries.push_back(entry);
    }
  }
  return entries;
}

TEST(RunProgram, WithoutChangeTheChildGetsTheCallersEnvironment) {
  const ScopedVariable multiline("QUORVANE_TEST_MULTILINE", "one\ntwo=three");
  const ScopedVariable non_ascii("QUORVANE_TEST_\xc3\x84", "\xe2\x80\x94 \xf0\x9f\x98\x80");
  EXPECT_EQ(child_environment({}), sorted(own_environment_except({})));
}

TEST(RunProgram, EnvironmentChangeSetsAndRemovesAndPassesEverythingElseOn) {
  const ScopedVariable replaced("QUORVANE_TEST_REPLACED", "old value");
  const ScopedVariable removed("QUORVANE_TEST_REMOVED", "old value");
  const ScopedVariable kept("QUORVANE_TEST_KEPT", "kept value");
  const EnvironmentChange change{
      {{"QUORVANE_TEST_REPLACED", "new value"}, {"QUORVANE_TEST_ADDED", "a=b"}},
      {"QUORVANE_TEST_REMOVED", "QUORVANE_TEST_NEVER_SET"}};

  auto expected = own_environment_except({"QUORVANE_TEST_REPLACED", "QUORVANE_TEST_REMOVED"});
  expected.push_back("QUORVANE_TEST_REPLACED=new value");
  expected.push_back("QUORVANE_TEST_ADDED=a=b");
  // The old value of a replaced variable must not linger beside the new one.
  EXPECT_EQ(child_environment(change), sorted(expected));

  // The caller's own environment stays as it was.
  EXPECT_EQ(testing::own_variable("QUORVANE_TEST_REPLACED"), "old value");
  EXPECT_EQ(testing::own_variable("QUORVANE_TEST_REMOVED"), "old value");
  EXPECT_EQ(testing::own_variable("QUORVANE_TEST_ADDED"), std::nullopt);
}

TEST(RunProgram, ChangedNamesCompareAsTheSystemComparesThem) {
  // Windows has one variable for every spelling of a name ("Ä" and "ä" alike); POSIX has one for
  // each exact spelling.
  const ScopedVariable replaced("QUORVANE_TEST_Replaced_\xc3\x84", "old value");
  const ScopedVariable removed("QUORVANE_TEST_REMOVED", "old value");
  const EnvironmentChange change{{{"quorvane_test_replaced_\xc3\xa4", "new value"}},
                                 {"Quorvane_Test_Removed"}};

  auto expected = own_environment_except({});
  if (kIsWindows) {
    expected = own_environment_except({"QUORVANE_TEST_Replaced_\xc3\x84", "QUORVANE_TEST_REMOVED"});
  }
  expected.push_back("quorvane_test_replaced_\xc3\xa4=new value");
  EXPECT_EQ(child_environment(change), sorted(expected));
}

}  // namespace
}  // namespace quorvane::platform
