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

 private:
  std::filesystem::path path_;
};

struct ProcessResult {
  int status = -1;  // exit status, or 128 + signal
  std::string out;
  std::string err;
};

struct RunOptions {
  std::filesystem::path cwd;
  // Variables to set (value) or unset (nullopt) on top of the test's own environment.
  std::map<std::string, std::optional<std::string>> env;
};

// Runs `program` with `args` (argv[0] is the program), stdin from /dev/null.
ProcessResult run_process(const std::string& program, const std::vector<std::string>& args,
                          const RunOptions& options);

// Runs the built quorvane binary in `cwd`.
ProcessResult run_quorvane(const std::filesystem::path& cwd, const std::vector<std::string>& args,
                           const std::map<std::string, std::optional<std::string>>& env = {});

}  // namespace quorvane::testing
