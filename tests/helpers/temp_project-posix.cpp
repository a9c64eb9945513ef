#include "helpers/temp_project.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace quorvane::testing {

TempProject::TempProject() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quorvane-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempProject::~TempProject() {
  std::error_code ec;
  // Undo permission changes made by tests so the tree can be removed.
  for (auto it = std::filesystem::recursive_directory_iterator(
           path_, std::filesystem::directory_options::skip_permission_denied, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) {
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ec);
    }
  }
  std::filesystem::remove_all(path_, ec);
}

namespace {

// In the forked child: points `fd` at `target` (a captured stream is already in place).
void redirect(int fd, OutputTarget target) {
  switch (target) {
    case OutputTarget::Captured:
      return;
    case OutputTarget::FullDevice: {
      const int full = ::open("/dev/full", O_WRONLY);
      if (full < 0 || ::dup2(full, fd) < 0) _exit(125);
      ::close(full);
      return;
    }
    case OutputTarget::Closed:
      ::close(fd);
      return;
    case OutputTarget::PipeWithoutReader: {
      int ends[2];
      if (::pipe(ends) != 0 || ::dup2(ends[1], fd) < 0) _exit(125);
      ::close(ends[0]);
      ::close(ends[1]);
      return;
    }
    case OutputTarget::DisconnectedPipe:
      break;  // refused before the fork
  }
}

}  // namespace

std::optional<std::string> unavailable_reason(OutputTarget target) {
  if (target == OutputTarget::DisconnectedPipe) {
    return "a POSIX pipe has no connection to lose besides its reader (PipeWithoutReader)";
  }
  return std::nullopt;
}

ProcessResult run_process(const std::string& program, const std::vector<std::string>& args,
                          const RunOptions& options) {
  for (const OutputTarget target : {options.stdout_target, options.stderr_target}) {
    if (const std::optional<std::string> reason = unavailable_reason(target)) {
      throw std::runtime_error(*reason);
    }
  }
  int out_pipe[2], err_pipe[2];
  if (::pipe(out_pipe) != 0 || ::pipe(err_pipe) != 0) throw std::runtime_error("pipe failed");
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int null_fd = ::open("/dev/null", O_RDONLY);
    ::dup2(null_fd, STDIN_FILENO);
    ::dup2(out_pipe[1], STDOUT_FILENO);
    ::dup2(err_pipe[1], STDERR_FILENO);
    ::close(out_pipe[0]);
    ::close(err_pipe[0]);
    redirect(STDOUT_FILENO, options.stdout_target);
    redirect(STDERR_FILENO, options.stderr_target);
    ::signal(SIGPIPE, SIG_DFL);
    if (!options.cwd.empty() && ::chdir(options.cwd.c_str()) != 0) _exit(126);
    for (const auto& [name, value] : options.env) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
    std::vector<char*> argv;
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execvp(program.c_str(), argv.data());
    _exit(127);
  }
  ::close(out_pipe[1]);
  ::close(err_pipe[1]);
  ProcessResult result;
  pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open_count = 2;
  char buffer[65536];
  while (open_count > 0) {
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open_count;
      }
    }
  }
  int wait_status = 0;
  while (::waitpid(pid, &wait_status, 0) < 0 && errno == EINTR) {
  }
  result.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
  return result;
}

}  // namespace quorvane::testing
