#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

namespace quorvane::testing {

// The nobody user and group.
inline constexpr uid_t kUnprivilegedId = 65534;

struct ProbeOutcome {
  bool ok = false;     // the child dropped its privileges, ran the probe and ended normally
  std::string output;  // what the probe returned, or why the child failed
};

// Root ignores permission bits, so a test about unreadable entries would see nothing when the
// suite runs as root. This runs `probe` in a forked child that has given up root first (when it
// had it) and hands back the text the probe returned. The fixture must be readable by others.
inline ProbeOutcome run_without_privileges(const std::function<std::string()>& probe) {
  int fds[2];
  if (::pipe(fds) != 0) return {false, "pipe failed"};
  const pid_t pid = ::fork();
  if (pid < 0) return {false, "fork failed"};
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
    return {false, "child ended with wait status " + std::to_string(status)};
  }
  return {true, output};
}

// Lets the unprivileged child reach every entry below `top` that is not locked on purpose.
inline void open_to_others(const std::filesystem::path& top) {
  namespace fs = std::filesystem;
  const auto others = fs::perms::others_read | fs::perms::others_exec | fs::perms::group_read |
                      fs::perms::group_exec;
  fs::permissions(top, others, fs::perm_options::add);
  for (const auto& entry : fs::recursive_directory_iterator(top)) {
    if (entry.is_symlink()) continue;
    fs::permissions(entry.path(), others, fs::perm_options::add);
  }
}

}  // namespace quorvane::testing
