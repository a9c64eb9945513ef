#include "platform/process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <variant>

#include "platform/os_error.hpp"
#include "platform/posix_process_rules.hpp"

extern char** environ;

namespace quorvane::platform {
namespace {

// The folders to search: PATH, or the system's default search path where PATH is not set (as
// execvp has it).
std::string search_path() {
  if (const char* path = std::getenv("PATH")) return path;
  const std::size_t size = ::confstr(_CS_PATH, nullptr, 0);
  if (size == 0) return {};
  std::string path(size, '\0');
  ::confstr(_CS_PATH, path.data(), size);
  path.resize(size - 1);
  return path;
}

// The file to start for `program`, or the errno value that says why there is none. A path is taken
// as given (posix_spawn reports what is wrong with it); a name is looked up in the absolute folders
// of PATH and nowhere else, and started by the file found: posix_spawnp's own search takes an
// empty entry for the current folder, where a project may carry a file named like the program.
// As with execvp, a file of that name that cannot be started (no execute permission, a folder)
// is passed over, and named by "permission denied" when no other is found.
std::variant<std::string, int> program_file(const std::string& program) {
  if (posix::names_a_path(program)) return program;
  int error = ENOENT;
  for (std::string& candidate : posix::path_candidates(program, search_path())) {
    struct stat status {};
    if (::stat(candidate.c_str(), &status) != 0) continue;
    if (S_ISREG(status.st_mode) &&
        ::faccessat(AT_FDCWD, candidate.c_str(), X_OK, AT_EACCESS) == 0) {
      return std::move(candidate);
    }
    error = EACCES;
  }
  return error;
}

class OwnedFd {
 public:
  OwnedFd() = default;
  explicit OwnedFd(int fd) : fd_(fd) {}
  ~OwnedFd() { reset(); }
  OwnedFd(OwnedFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  OwnedFd& operator=(OwnedFd&& other) noexcept {
    if (this != &other) {
      reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  OwnedFd(const OwnedFd&) = delete;
  OwnedFd& operator=(const OwnedFd&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  void reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

struct Pipe {
  OwnedFd read_end;
  OwnedFd write_end;
};

// Moves a descriptor above the standard ones: when the parent runs with 0, 1 or 2 closed, a pipe
// end could land there and be overwritten by the child's own redirections.
int above_standard_fds(int fd) {
  if (fd > STDERR_FILENO) return fd;
  const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  const int saved_errno = errno;
  ::close(fd);
  errno = saved_errno;
  return moved;
}

// Both ends close on exec, so no other child ever inherits them; the spawned child only gets the
// copies made by dup2 onto its standard output and error.
bool open_pipe(Pipe& pipe, int& error_number) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    error_number = errno;
    return false;
  }
  OwnedFd read_end(above_standard_fds(fds[0]));
  const int read_errno = errno;
  OwnedFd write_end(above_standard_fds(fds[1]));
  if (!read_end.valid() || !write_end.valid()) {
    error_number = read_end.valid() ? errno : read_errno;
    return false;
  }
  pipe.read_end = std::move(read_end);
  pipe.write_end = std::move(write_end);
  return true;
}

class SpawnActions {
 public:
  SpawnActions() {
    error_ = ::posix_spawn_file_actions_init(&actions_);
    initialised_ = error_ == 0;
  }
  ~SpawnActions() {
    if (initialised_) ::posix_spawn_file_actions_destroy(&actions_);
  }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;

  // The first failure of init or of any added action; 0 when all went well.
  int error() const { return error_; }
  posix_spawn_file_actions_t* get() { return &actions_; }

  void dup2(int fd, int target) {
    if (error_ == 0) error_ = ::posix_spawn_file_actions_adddup2(&actions_, fd, target);
  }
  void open(int target, const char* path, int flags) {
    if (error_ == 0) error_ = ::posix_spawn_file_actions_addopen(&actions_, target, path, flags, 0);
  }

 private:
  posix_spawn_file_actions_t actions_{};
  int error_ = 0;
  bool initialised_ = false;
};

// The child starts with the default action for a broken pipe. This process ignores that signal
// to report a vanished reader itself, and an ignored signal would stay ignored across exec.
class SpawnAttributes {
 public:
  SpawnAttributes() {
    error_ = ::posix_spawnattr_init(&attributes_);
    initialised_ = error_ == 0;
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    if (error_ == 0) error_ = ::posix_spawnattr_setsigdefault(&attributes_, &defaults);
    if (error_ == 0) error_ = ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGDEF);
  }
  ~SpawnAttributes() {
    if (initialised_) ::posix_spawnattr_destroy(&attributes_);
  }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;

  int error() const { return error_; }
  const posix_spawnattr_t* get() const { return &attributes_; }

 private:
  posix_spawnattr_t attributes_{};
  int error_ = 0;
  bool initialised_ = false;
};

// Reads both pipes until each reaches its end, taking whatever either offers as it comes.
void drain(OwnedFd& out, OwnedFd& err, std::string& out_bytes, std::string& err_bytes) {
  pollfd fds[2] = {{out.get(), POLLIN, 0}, {err.get(), POLLIN, 0}};
  OwnedFd* owners[2] = {&out, &err};
  std::string* sinks[2] = {&out_bytes, &err_bytes};
  char buffer[65536];
  int open_count = 2;
  while (open_count > 0) {
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;  // the caller closes the pipes, so the child cannot block on a full one
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) == 0) {
        continue;
      }
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(n));
        continue;
      }
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      owners[i]->reset();
      fds[i].fd = -1;
      --open_count;
    }
  }
}

int wait_for(pid_t pid) {
  int wait_status = 0;
  while (::waitpid(pid, &wait_status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (WIFEXITED(wait_status)) return WEXITSTATUS(wait_status);
  if (WIFSIGNALED(wait_status)) return 128 + WTERMSIG(wait_status);
  return -1;
}

// The caller's environment with `change` applied, as "NAME=value" entries. Every entry of a
// changed name goes, duplicates included, so the child never sees the old value beside the new.
std::vector<std::string> child_environment(const EnvironmentChange& change) {
  std::vector<std::string> entries;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    const std::string_view name = text.substr(0, text.find('='));
    const bool removed = std::ranges::find(change.remove, name) != change.remove.end();
    const bool replaced = std::ranges::any_of(
        change.set, [&](const auto& variable) { return variable.first == name; });
    if (!removed && !replaced) entries.emplace_back(text);
  }
  for (const auto& [name, value] : change.set) entries.push_back(name + "=" + value);
  return entries;
}

}  // namespace

ProcessOutcome run_program(const std::string& program, const std::vector<std::string>& arguments,
                           const EnvironmentChange& environment) {
  const auto found = program_file(program);
  if (const int* error = std::get_if<int>(&found)) return ProcessNotStarted{os_error_text(*error)};
  const std::string& file = std::get<std::string>(found);

  Pipe out_pipe;
  Pipe err_pipe;
  int error_number = 0;
  if (!open_pipe(out_pipe, error_number) || !open_pipe(err_pipe, error_number)) {
    return ProcessNotStarted{os_error_text(error_number)};
  }

  SpawnActions actions;
  actions.dup2(out_pipe.write_end.get(), STDOUT_FILENO);
  actions.dup2(err_pipe.write_end.get(), STDERR_FILENO);
  actions.open(STDIN_FILENO, "/dev/null", O_RDONLY);
  if (actions.error() != 0) return ProcessNotStarted{os_error_text(actions.error())};
  const SpawnAttributes attributes;
  if (attributes.error() != 0) return ProcessNotStarted{os_error_text(attributes.error())};

  std::vector<char*> argv;
  argv.reserve(arguments.size() + 2);
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  const std::vector<std::string> environment_entries = child_environment(environment);
  std::vector<char*> envp;
  envp.reserve(environment_entries.size() + 1);
  for (const auto& entry : environment_entries) envp.push_back(const_cast<char*>(entry.c_str()));
  envp.push_back(nullptr);

  pid_t pid = 0;
  // posix_spawn reports a failed exec as its result. The child's argv[0] stays the name it was
  // asked for, as a search by the system would leave it.
  const int spawn_error =
      ::posix_spawn(&pid, file.c_str(), actions.get(), attributes.get(), argv.data(), envp.data());
  if (spawn_error != 0) return ProcessNotStarted{os_error_text(spawn_error)};

  // Only the child may hold the write ends, so that its exit ends both streams.
  out_pipe.write_end.reset();
  err_pipe.write_end.reset();

  std::string stdout_bytes;
  std::string stderr_bytes;
  drain(out_pipe.read_end, err_pipe.read_end, stdout_bytes, stderr_bytes);
  out_pipe.read_end.reset();
  err_pipe.read_end.reset();

  const int status = wait_for(pid);
  if (status == 0) return ProcessSucceeded{std::move(stdout_bytes)};
  return ProcessFailed{status, std::move(stderr_bytes)};
}

}  // namespace quorvane::platform
