#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::testing {

// A fresh directory under the system temp dir, removed (with everything below) at scope end.
class TempProject {
 public:
  TempProject();
  ~TempProject();
  TempProject(const TempProject&) = delete;
  TempProject& operator=(const TempProject&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes `content` to path()/relative, creating parent directories.
  void write(const std::filesystem::path& relative, std::string_view content) const;
  void mkdir(const std::filesystem::path& relative) const;
  // The bytes of path()/relative, exactly as stored.
  std::string read(const std::filesystem::path& relative) const;

 private:
  std::filesystem::path path_;
};

struct ProcessResult {
  int status = -1;  // exit status, or 128 + signal on POSIX; the exit code on Windows
  std::string out;
  std::string err;
};

// Where a child's standard output or error goes: captured, or one of the ways in which output
// cannot reach anyone. On POSIX the child starts with the default action for a broken pipe,
// whatever the test runner set, so that a program that does not handle one itself is killed by it.
enum class OutputTarget {
  Captured,
  FullDevice,         // /dev/full: every write fails with "No space left on device" (POSIX only)
  Closed,             // the descriptor is not open (Windows: the child gets a null handle)
  PipeWithoutReader,  // a pipe whose read end was closed before the program started
  // A named pipe whose reader connected and went, and which its server disconnected: a write
  // fails as "not connected" (Windows only; wine says the same of a Unix pipe without a reader).
  DisconnectedPipe,
};

// Why `target` cannot be set up on this system, or nothing where it can; a test that needs it
// skips with this reason.
std::optional<std::string> unavailable_reason(OutputTarget target);

struct RunOptions {
  std::filesystem::path cwd;
  // Variables to set (value) or unset (nullopt) on top of the test's own environment.
  std::map<std::string, std::optional<std::string>> env;
  OutputTarget stdout_target = OutputTarget::Captured;
  OutputTarget stderr_target = OutputTarget::Captured;
};

// Runs `program` with `args` (argv[0] is the program), stdin from /dev/null (NUL on Windows).
// `program` is found on PATH unless it holds a path separator.
ProcessResult run_process(const std::string& program, const std::vector<std::string>& args,
                          const RunOptions& options);

// Runs the built quorvane binary in `cwd`.
ProcessResult run_quorvane(const std::filesystem::path& cwd, const std::vector<std::string>& args,
                           const std::map<std::string, std::optional<std::string>>& env = {});
// The same with the standard streams of `options`, whose `cwd` is the directory to run in.
ProcessResult run_quorvane(const std::vector<std::string>& args, const RunOptions& options);

}  // namespace quorvane::testing
