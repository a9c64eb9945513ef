// What only a POSIX child can show: signal dispositions carried across exec.

#include <signal.h>

#include <string>

#include <gtest/gtest.h>

#include "platform/output.hpp"
#include "platform/process.hpp"

namespace quorvane::platform {
namespace {

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
  const auto outcome = run_program("grep", {"^SigIgn:", "/proc/self/status"});
  ASSERT_TRUE(std::holds_alternative<ProcessSucceeded>(outcome)) << outcome.index();
  const std::string line = std::get<ProcessSucceeded>(outcome).stdout_bytes;
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
