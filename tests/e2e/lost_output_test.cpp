// Runs whose output cannot reach standard output or standard error: a full disk, a closed
// descriptor, and a pipe whose reader has gone away.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helpers/temp_project.hpp"
#include "platform/os_error.hpp"
#include "platform/system.hpp"

namespace quorvane {
namespace {

using testing::OutputTarget;
using testing::ProcessResult;
using testing::run_quorvane;
using testing::RunOptions;
using testing::TempProject;

// A project whose `check` and `lint` end with status 1: an undeclared id and a one-word title.
struct FailingProject {
  TempProject project;
  FailingProject() {
    project.write("quorvane.toml",
                  "[[requirements]]\nid = \"REQ-A\"\ntitle = \"Login\"\n"
                  "required_stages = [\"impl\"]\n");
    project.write("src/a.rs", "// [impl->REQ-A]\n// [impl->REQ-X]\n");
  }
  ProcessResult run(const std::vector<std::string>& args, OutputTarget stdout_target,
                    OutputTarget stderr_target = OutputTarget::Captured) const {
    return run_quorvane(args, RunOptions{project.path(), {}, stdout_target, stderr_target});
  }
};

struct Command {
  std::vector<std::string> args;
  int status;  // what the run ends with when its output is read
};

// Text and JSON reports of every run, and the parser's own output.
const std::vector<Command> kCommands = {
    {{"list"}, 0},
    {{"list", "--json"}, 0},
    {{"check", "--json"}, 1},
    {{"check"}, 1},
    {{"trace", "REQ-A"}, 0},
    {{"trace", "REQ-A", "--json"}, 0},
    {{"lint"}, 1},
    {{"lint", "--json"}, 1},
    {{"review"}, 0},
    {{"review", "--json"}, 0},
    {{"--help"}, 0},
    {{"help", "check"}, 0},
    {{"--version"}, 0},
};

std::string joined(const std::vector<std::string>& args) {
  std::string text;
  for (const auto& arg : args) text += " " + arg;
  return text;
}

// A way in which a standard stream cannot reach anyone, with the message of a run whose report
// cannot be written to it.
struct LostStream {
  const char* name;
  OutputTarget target;
  std::string message;
};

// Windows starts the child with no handle at all where POSIX leaves the descriptor closed; a write
// to it fails with ERROR_INVALID_HANDLE.
constexpr int kWindowsInvalidHandle = 6;
const std::string kClosedError = platform::kIsWindows
                                     ? platform::os_error_text(kWindowsInvalidHandle)
                                     : std::string("Bad file descriptor (os error 9)");

const LostStream kLostStreams[] = {
    {"FullDevice", OutputTarget::FullDevice,
     "cannot write to standard output: No space left on device (os error 28)\n"},
    {"Closed", OutputTarget::Closed, "cannot write to standard output: " + kClosedError + "\n"},
};

class LostStandardOutput : public ::testing::TestWithParam<LostStream> {
 protected:
  void SetUp() override {
    if (const auto reason = testing::unavailable_reason(GetParam().target)) {
      GTEST_SKIP() << *reason;
    }
  }
  FailingProject fixture_;
};

INSTANTIATE_TEST_SUITE_P(Streams, LostStandardOutput, ::testing::ValuesIn(kLostStreams),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(LostStandardOutput, ReportThatCannotBeWrittenEndsWithTwoAndOneMessage) {
  for (const Command& run : kCommands) {
    SCOPED_TRACE(joined(run.args) + " -> " + GetParam().message);
    const ProcessResult result = fixture_.run(run.args, GetParam().target);
    // A check or lint that found something still ends with 2: its report is lost.
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, GetParam().message);
  }
}

TEST_P(LostStandardOutput, RunThatFailsBeforeItsReportKeepsItsOwnMessage) {
  const ProcessResult result = fixture_.run({"trace", "REQ-NONE"}, GetParam().target);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "trace error: requirement 'REQ-NONE' is not declared in the manifest\n");
}

std::string target_name(const ::testing::TestParamInfo<OutputTarget>& info) {
  switch (info.param) {
    case OutputTarget::FullDevice:
      return "FullDevice";
    case OutputTarget::Closed:
      return "Closed";
    case OutputTarget::PipeWithoutReader:
      return "PipeWithoutReader";
    case OutputTarget::DisconnectedPipe:
      return "DisconnectedPipe";
    case OutputTarget::Captured:
      break;
  }
  return "Captured";
}

// A stream set up for the test, or a skip where the system cannot set it up.
class WithStream : public ::testing::TestWithParam<OutputTarget> {
 protected:
  void SetUp() override {
    if (const auto reason = testing::unavailable_reason(GetParam())) GTEST_SKIP() << *reason;
  }
  FailingProject fixture_;
};

// The ways in which the reader of a pipe is gone: its end closed, and a pipe that is no longer
// connected.
class ReaderThatWentAway : public WithStream {};

INSTANTIATE_TEST_SUITE_P(Pipes, ReaderThatWentAway,
                         ::testing::Values(OutputTarget::PipeWithoutReader,
                                           OutputTarget::DisconnectedPipe),
                         target_name);

TEST_P(ReaderThatWentAway, EndsQuietlyWithTheRunsOwnStatus) {
  for (const Command& run : kCommands) {
    SCOPED_TRACE(joined(run.args));
    const ProcessResult result = fixture_.run(run.args, GetParam());
    // Killed by the signal, the status would be 141.
    EXPECT_EQ(result.status, run.status);
    EXPECT_EQ(result.err, "");
  }
}

// Every way of losing standard error, the reading pipe that went away included.
class LostStandardError : public WithStream {};

INSTANTIATE_TEST_SUITE_P(Streams, LostStandardError,
                         ::testing::Values(OutputTarget::FullDevice, OutputTarget::Closed,
                                           OutputTarget::PipeWithoutReader,
                                           OutputTarget::DisconnectedPipe),
                         target_name);

TEST_P(LostStandardError, FailedWritesChangeNothing) {
  const ProcessResult report = fixture_.run({"list"}, OutputTarget::Captured);
  ASSERT_EQ(report.status, 0);
  ASSERT_NE(report.out, "");
  const struct {
    std::vector<std::string> args;
    int status;
    std::string out;
  } cases[] = {
      {{"list"}, 0, report.out},
      {{"check"}, 1, fixture_.run({"check"}, OutputTarget::Captured).out},
      {{"trace", "REQ-NONE"}, 2, ""},  // its message is lost, its status is not
      {{}, 2, ""},                     // the bare command's help goes to standard error
      {{"lis"}, 2, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(joined(c.args) + " with standard error lost");
    const ProcessResult result = fixture_.run(c.args, OutputTarget::Captured, GetParam());
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.out, c.out);
  }
}

}  // namespace
}  // namespace quorvane
