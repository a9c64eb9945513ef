#include "helpers/without_privileges.hpp"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace quorvane::testing {
namespace {

// The nobody user and group.
constexpr uid_t kUnprivilegedId = 65534;

}  // namespace

std::optional<std::string> why_privileges_cannot_be_dropped() {
  return std::nullopt;
}

ProbeOutcome run_without_privileges(const std::function<std::string()>& probe) {
  int fds[2];
  if (::pipe(fds) != 0) return {true, false, "pipe failed"};
  const pid_t pid = ::fork();
  if (pid < 0) return {true, false, "fork failed"};
  if (pid == 0) {
    ::close(fds[0]);
    if (::geteuid() == 0) {
      if (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedId) != 0 ||
          ::setuid(kUnprivilegedId) != 0) {
        _exit(3);
      }
    }
    const std::string text = probe();
    std::size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = ::write(fds[1], text.data() + done, text.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) _exit(4);
      done += static_cast<std::size_t>(n);
    }
    _exit(0);
  }
  ::close(fds[1]);
  std::string output;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
    if (n > 0) {
      output.append(buffer, static_cast<std::size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  ::close(fds[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return {true, false, "child ended with wait status " + std::to_string(status)};
  }
  return {true, true, output};
}

}  // namespace quorvane::testing
