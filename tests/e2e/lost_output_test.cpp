// Runs whose output cannot reach standard output or standard error: a full disk, a closed
// descriptor, and a pipe whose reader has gone away.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helpers/temp_project.hpp"

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

TEST(LostOutput, ReportThatCannotBeWrittenEndsWithTwoAndOneMessage) {
  FailingProject fixture;
  const struct {
    OutputTarget target;
    const char* message;
  } targets[] = {
      {OutputTarget::FullDevice,
       "cannot write to standard output: No space left on device (os error 28)\n"},
      {OutputTarget::Closed, "cannot write to standard output: Bad file descriptor (os error 9)\n"},
  };
  for (const auto& [target, message] : targets) {
    for (const Command& run : kCommands) {
      SCOPED_TRACE(joined(run.args) + " -> " + message);
      const ProcessResult result = fixture.run(run.args, target);
      // A check or lint that found something still ends with 2: its report is lost.
      EXPECT_EQ(result.status, 2);
      EXPECT_EQ(result.err, message);
    }
  }
}

TEST(LostOutput, ReaderThatWentAwayEndsQuietlyWithTheRunsOwnStatus) {
  FailingProject fixture;
  for (const Command& run : kCommands) {
    SCOPED_TRACE(joined(run.args));
    const ProcessResult result = fixture.run(run.args, OutputTarget::PipeWithoutReader);
    // Killed by the signal, the status would be 141.
    EXPECT_EQ(result.status, run.status);
    EXPECT_EQ(result.err, "");
  }
}

TEST(LostOutput, FailedWritesToStandardErrorChangeNothing) {
  FailingProject fixture;
  const ProcessResult report = fixture.run({"list"}, OutputTarget::Captured);
  ASSERT_EQ(report.status, 0);
  ASSERT_NE(report.out, "");
  const struct {
    std::vector<std::string> args;
    int status;
    std::string out;
  } cases[] = {
      {{"list"}, 0, report.out},
      {{"check"}, 1, fixture.run({"check"}, OutputTarget::Captured).out},
      {{"trace", "REQ-NONE"}, 2, ""},  // its message is lost, its status is not
      {{}, 2, ""},                     // the bare command's help goes to standard error
      {{"lis"}, 2, ""},
  };
  for (const OutputTarget target :
       {OutputTarget::FullDevice, OutputTarget::Closed, OutputTarget::PipeWithoutReader}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(joined(c.args) + " with standard error lost, case " +
                   std::to_string(static_cast<int>(target)));
      const ProcessResult result = fixture.run(c.args, OutputTarget::Captured, target);
      EXPECT_EQ(result.status, c.status);
      EXPECT_EQ(result.out, c.out);
    }
  }
}

TEST(LostOutput, RunThatFailsBeforeItsReportKeepsItsOwnMessage) {
  FailingProject fixture;
  const ProcessResult result = fixture.run({"trace", "REQ-NONE"}, OutputTarget::FullDevice);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "trace error: requirement 'REQ-NONE' is not declared in the manifest\n");
}

}  // namespace
}  // namespace quorvane
