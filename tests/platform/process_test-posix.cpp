// What only a POSIX child can show: signal dispositions carried across exec, and the search of
// PATH.

#include <signal.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "helpers/environment.hpp"
#include "helpers/temp_project.hpp"
#include "platform/os_error.hpp"
#include "platform/output.hpp"
#include "platform/paths.hpp"
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

namespace fs = std::filesystem;
using testing::ScopedVariable;

// Folders on PATH holding copies of the stand-in (which names its own file when asked) and other
// files named like it.
class ProgramSearch : public ::testing::Test {
 protected:
  fs::path folder(const char* name) const { return root_.path() / name; }

  void put_program(const fs::path& file) const {
    fs::create_directories(file.parent_path());
    fs::copy_file(fs::absolute(path_from_utf8(QUORVANE_STAND_IN)), file);
  }

  // Which file runs for `name` with this PATH, or the message of a start that failed.
  static std::string started(const std::string& name, const std::string& path) {
    const ScopedVariable path_variable("PATH", path);
    const auto outcome = run_program(name, {"--self"});
    if (const auto* not_started = std::get_if<ProcessNotStarted>(&outcome)) {
      return not_started->message;
    }
    const auto* succeeded = std::get_if<ProcessSucceeded>(&outcome);
    return succeeded ? succeeded->stdout_bytes : "outcome index " + std::to_string(outcome.index());
  }

  testing::TempProject root_;
};

TEST_F(ProgramSearch, FirstFolderInPathOrderWithAFileThatCanBeStarted) {
  // Named like the program but not startable: a file without execute permission, a folder.
  put_program(folder("a") / "tool");
  fs::permissions(folder("a") / "tool", fs::perms::all, fs::perm_options::remove);
  fs::create_directories(folder("b") / "tool");
  put_program(folder("c") / "tool");
  put_program(folder("d") / "tool");
  const std::string path = path_bytes(folder("a")) + ":" + path_bytes(folder("b")) + ":" +
                           path_bytes(folder("c")) + ":" + path_bytes(folder("d"));
  EXPECT_EQ(started("tool", path), path_bytes(folder("c") / "tool"));
  EXPECT_EQ(started("tool", path_bytes(folder("d")) + "/:" + path),
            path_bytes(folder("d") / "tool"));
  // As execvp has it: a file that was passed over is named when no other is found.
  EXPECT_EQ(started("tool", path_bytes(folder("a"))), os_error_text(EACCES));
  EXPECT_EQ(started("tool", path_bytes(folder("b"))), os_error_text(EACCES));
  EXPECT_EQ(started("tool", path_bytes(folder("e")) + ":" + path_bytes(root_.path())),
            os_error_text(ENOENT));
}

TEST_F(ProgramSearch, WithoutPathTheSystemsDefaultFoldersAreSearched) {
  // As execvp does; that default holds absolute folders only.
  const ScopedVariable path("PATH", std::nullopt);
  EXPECT_TRUE(std::holds_alternative<ProcessSucceeded>(run_program("sh", {"-c", "exit 0"})));
}

TEST_F(ProgramSearch, AnEmptyPathFindsNothing) {
  // execvp would look in the current folder.
  EXPECT_EQ(started("sh", ""), os_error_text(ENOENT));
}

}  // namespace
}  // namespace quorvane::platform
