#include "platform/process.hpp"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>  // environ

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/output.hpp"

namespace quorvane::platform {
namespace {

ProcessSucceeded expect_success(const ProcessOutcome& outcome) {
  const auto* succeeded = std::get_if<ProcessSucceeded>(&outcome);
  EXPECT_NE(succeeded, nullptr) << "outcome index " << outcome.index();
  return succeeded ? *succeeded : ProcessSucceeded{};
}

ProcessOutcome run_shell(const std::string& script) {
  return run_program("sh", {"-c", script});
}

TEST(RunProgram, SuccessCarriesStdoutBytesUnchanged) {
  // Decoding is the caller's business: invalid UTF-8 and NUL bytes come back as they were written.
  const auto result = expect_success(run_shell("printf 'a\\377\\000b\\n'; echo noise >&2"));
  EXPECT_EQ(result.stdout_bytes, std::string("a\xff\0b\n", 5));
}

TEST(RunProgram, NonZeroStatusCarriesStderrBytesAndStatus) {
  const auto outcome = run_shell("echo out; printf 'first\\nsecond\\n' >&2; exit 3");
  const auto* failed = std::get_if<ProcessFailed>(&outcome);
  ASSERT_NE(failed, nullptr);
  EXPECT_EQ(failed->status, 3);
  EXPECT_EQ(failed->stderr_bytes, "first\nsecond\n");
}

TEST(RunProgram, DeathBySignalIsAFailure) {
  const auto outcome = run_shell("kill -TERM $$");
  const auto* failed = std::get_if<ProcessFailed>(&outcome);
  ASSERT_NE(failed, nullptr);
  EXPECT_EQ(failed->status, 128 + 15);
}

TEST(RunProgram, EachArgumentReachesTheProgramWholeWithoutAShell) {
  const auto result =
      expect_success(run_program("printf", {"[%s]", "a b", "", "$HOME", "*", "x;echo y", "-n"}));
  EXPECT_EQ(result.stdout_bytes, "[a b][][$HOME][*][x;echo y][-n]");
}

TEST(RunProgram, StandardInputIsTheNullDevice) {
  // A child reading its input must see an immediate end, never the caller's own input.
  const auto result = expect_success(run_program("cat", {}));
  EXPECT_EQ(result.stdout_bytes, "");
}

TEST(RunProgram, ProgramThatCannotStartGivesTheOsErrorText) {
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
  const auto result =
      expect_success(run_shell("head -c 3000000 /dev/zero >&2; head -c 2000000 /dev/zero; "
                               "head -c 1000000 /dev/zero >&2"));
  EXPECT_EQ(result.stdout_bytes.size(), 2000000u);
  const auto failed = run_shell("head -c 3000000 /dev/zero; head -c 2000000 /dev/zero >&2; exit 1");
  ASSERT_TRUE(std::holds_alternative<ProcessFailed>(failed));
  EXPECT_EQ(std::get<ProcessFailed>(failed).stderr_bytes.size(), 2000000u);
}

std::size_t open_descriptor_count() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

TEST(RunProgram, LeavesNoDescriptorOpenInTheCaller) {
  const auto before = open_descriptor_count();
  for (int i = 0; i < 20; ++i) {
    run_shell("echo out; echo err >&2");
    run_shell("exit 1");
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

// Sets a variable of this process for one test and restores what was there before.
class ScopedVariable {
 public:
  ScopedVariable(std::string name, const std::string& value) : name_(std::move(name)) {
    if (const char* old = ::getenv(name_.c_str())) old_ = old;
    ::setenv(name_.c_str(), value.c_str(), 1);
  }
  ~ScopedVariable() {
    if (old_) {
      ::setenv(name_.c_str(), old_->c_str(), 1);
    } else {
      ::unsetenv(name_.c_str());
    }
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

std::vector<std::string> sorted(std::vector<std::string> entries) {
  std::sort(entries.begin(), entries.end());
  return entries;
}

// The child's environment as "NAME=value" entries; NUL-separated, so values may hold line feeds.
std::vector<std::string> child_environment(const EnvironmentChange& change) {
  const auto listing = expect_success(run_program("env", {"-0"}, change)).stdout_bytes;
  std::vector<std::string> entries;
  std::size_t start = 0;
  for (auto end = listing.find('\0'); end != std::string::npos; end = listing.find('\0', start)) {
    entries.push_back(listing.substr(start, end - start));
    start = end + 1;
  }
  return sorted(entries);
}

std::vector<std::string> own_environment_except(const std::vector<std::string>& names) {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text(*entry);
    if (std::ranges::find(names, text.substr(0, text.find('='))) == names.end()) {
      entries.push_back(text);
    }
  }
  return entries;
}

TEST(RunProgram, WithoutChangeTheChildGetsTheCallersEnvironment) {
  const ScopedVariable multiline("QUORVANE_TEST_MULTILINE", "one\ntwo=three");
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
  EXPECT_STREQ(::getenv("QUORVANE_TEST_REPLACED"), "old value");
  EXPECT_STREQ(::getenv("QUORVANE_TEST_REMOVED"), "old value");
  EXPECT_EQ(::getenv("QUORVANE_TEST_ADDED"), nullptr);
}

// Puts back the broken-pipe disposition that the test changed.
class BrokenPipeDisposition {
 public:
  BrokenPipeDisposition() { ::sigaction(SIGPIPE, nullptr, &saved_); }
  ~BrokenPipeDisposition() { ::sigaction(SIGPIPE, &saved_, nullptr); }
  BrokenPipeDisposition(const BrokenPipeDisposition&) = delete;
  BrokenPipeDisposition& operator=(const BrokenPipeDisposition&) = delete;

 private:
  struct sigaction saved_ {};
};

TEST(RunProgram, ChildStartsWithTheDefaultBrokenPipeActionWhileTheCallerIgnoresIt) {
  const BrokenPipeDisposition restore;
  ignore_broken_pipe_signal();
  // An ignored signal stays ignored across exec: a child that inherited it would run on after
  // its reader left. The child reads its own mask of ignored signals.
  const auto result = expect_success(run_program("grep", {"^SigIgn:", "/proc/self/status"}));
  const std::string line = result.stdout_bytes;
  ASSERT_TRUE(line.starts_with("SigIgn:")) << line;
  const unsigned long long ignored = std::stoull(line.substr(7), nullptr, 16);
  EXPECT_EQ(ignored & (1ULL << (SIGPIPE - 1)), 0u) << line;

  // The caller's own disposition is what the program relies on.
  struct sigaction current {};
  ::sigaction(SIGPIPE, nullptr, &current);
  EXPECT_EQ(current.sa_handler, SIG_IGN);
}

}  // namespace
}  // namespace quorvane::platform
