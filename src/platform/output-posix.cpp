#include "platform/output.hpp"

#include <poll.h>
#include <signal.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>

#include "platform/os_error.hpp"

namespace quorvane::platform {
namespace {

// Whether a failed write is worth another try: an interruption, or a non-blocking stream (one
// inherited from the parent) that is full for now, which is waited on until it takes more.
bool retry_after(int fd, int error_number) {
  if (error_number == EINTR) return true;
  if (error_number != EAGAIN && error_number != EWOULDBLOCK) return false;
  pollfd ready{fd, POLLOUT, 0};
  while (::poll(&ready, 1, -1) < 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

// 0 when all of `text` went out, else the errno that stopped it.
int write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0) {
      const int error_number = errno;
      if (retry_after(fd, error_number)) continue;
      return error_number;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

int write_all(int fd, std::string_view text, std::string_view tail) {
  while (!text.empty()) {
    iovec pieces[2] = {{const_cast<char*>(text.data()), text.size()},
                       {const_cast<char*>(tail.data()), tail.size()}};
    const ssize_t n = ::writev(fd, pieces, 2);
    if (n < 0) {
      const int error_number = errno;
      if (retry_after(fd, error_number)) continue;
      return error_number;
    }
    auto written = static_cast<std::size_t>(n);
    if (written >= text.size()) {
      written -= text.size();
      text = {};
      tail.remove_prefix(written);
    } else {
      text.remove_prefix(written);
    }
  }
  return write_all(fd, tail);
}

WriteResult result_of(int error_number) {
  if (error_number == 0) return WriteDone{};
  if (error_number == EPIPE) return WriteReaderGone{};
  return WriteFailed{os_error_text(error_number)};
}

}  // namespace

void ignore_broken_pipe_signal() {
  ::signal(SIGPIPE, SIG_IGN);
}

WriteResult write_stdout(std::string_view text) {
  return result_of(write_all(STDOUT_FILENO, text));
}
WriteResult write_stdout(std::string_view text, std::string_view tail) {
  return result_of(write_all(STDOUT_FILENO, text, tail));
}
void write_stderr(std::string_view text) {
  (void)write_all(STDERR_FILENO, text);
}

}  // namespace quorvane::platform
