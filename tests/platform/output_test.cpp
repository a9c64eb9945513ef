#include "platform/output.hpp"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace quorvane::platform {
namespace {

// Far more than a pipe holds, so that the writer must wait for its reader.
const std::string kLargeOutput(4 << 20, 'q');

enum class Reader { ReadsAllLate, LeavesAfterOneByte };
enum class Mode { Blocking, NonBlocking };

// The child's exit status for each WriteResult.
constexpr int kDone = 0;
constexpr int kReaderGone = 1;
constexpr int kFailed = 2;

struct Ending {
  int child_status = -1;  // one of the three above, or another code on trouble
  std::string received;
};

// Forks a child whose standard output is a pipe to this process and has it write kLargeOutput
// through write_stdout; the child's exit status tells the WriteResult it got.
Ending write_through_pipe(Reader reader, Mode mode) {
  int ends[2];
  if (::pipe(ends) != 0) return {};
  const pid_t pid = ::fork();
  if (pid < 0) return {};
  if (pid == 0) {
    ::close(ends[0]);
    if (::dup2(ends[1], STDOUT_FILENO) < 0) _exit(100);
    if (mode == Mode::NonBlocking &&
        ::fcntl(STDOUT_FILENO, F_SETFL, ::fcntl(STDOUT_FILENO, F_GETFL) | O_NONBLOCK) != 0) {
      _exit(101);
    }
    ignore_broken_pipe_signal();
    const WriteResult result = write_stdout(kLargeOutput);
    if (std::holds_alternative<WriteDone>(result)) _exit(kDone);
    _exit(std::holds_alternative<WriteReaderGone>(result) ? kReaderGone : kFailed);
  }
  ::close(ends[1]);
  Ending ending;
  // The pipe fills long before the reader starts.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  char buffer[65536];
  for (;;) {
    const std::size_t wanted = reader == Reader::LeavesAfterOneByte ? 1 : sizeof buffer;
    const ssize_t n = ::read(ends[0], buffer, wanted);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    ending.received.append(buffer, static_cast<std::size_t>(n));
    if (reader == Reader::LeavesAfterOneByte) break;
  }
  ::close(ends[0]);
  int wait_status = 0;
  while (::waitpid(pid, &wait_status, 0) < 0 && errno == EINTR) {
  }
  ending.child_status =
      WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
  return ending;
}

TEST(WriteStdout, WaitsForAFullNonBlockingPipeInsteadOfFailing) {
  // A parent may hand over a non-blocking pipe; full for now is not a failure.
  const Ending ending = write_through_pipe(Reader::ReadsAllLate, Mode::NonBlocking);
  EXPECT_EQ(ending.child_status, kDone);
  EXPECT_EQ(ending.received.size(), kLargeOutput.size());
  EXPECT_EQ(ending.received, kLargeOutput);
}

TEST(WriteStdout, ReaderLeavingPartWayIsTheReaderGone) {
  // `quorvane list | head -1`: the writer is waiting in the middle of its report.
  for (const Mode mode : {Mode::Blocking, Mode::NonBlocking}) {
    const Ending ending = write_through_pipe(Reader::LeavesAfterOneByte, mode);
    EXPECT_EQ(ending.child_status, kReaderGone) << "non-blocking: " << (mode == Mode::NonBlocking);
    EXPECT_EQ(ending.received, "q");
  }
}

}  // namespace
}  // namespace quorvane::platform
