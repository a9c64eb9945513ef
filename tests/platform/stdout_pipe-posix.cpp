#include "stdout_pipe.hpp"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/output.hpp"

namespace quorvane::platform::testing {
namespace {

// The child's exit status for each outcome.
constexpr int kDone = 0;
constexpr int kReaderGone = 1;
constexpr int kFailed = 2;

}  // namespace

// A forked child writes, so that its standard output can be the pipe while the test's own is
// left alone; its exit status tells the WriteResult it got.
Ending write_through_pipe(std::string_view text, std::optional<std::string_view> tail,
                          Reader reader, Mode mode) {
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
    const WriteResult result = tail ? write_stdout(text, *tail) : write_stdout(text);
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
  if (!WIFEXITED(wait_status)) return ending;
  switch (WEXITSTATUS(wait_status)) {
    case kDone:
      ending.outcome = Outcome::Done;
      break;
    case kReaderGone:
      ending.outcome = Outcome::ReaderGone;
      break;
    case kFailed:
      ending.outcome = Outcome::Failed;
      break;
    default:
      break;
  }
  return ending;
}

}  // namespace quorvane::platform::testing
