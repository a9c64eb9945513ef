#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace quorvane::platform {

struct ProcessNotStarted {
  std::string message;  // "<description> (os error N)"
};
struct ProcessFailed {
  int status;                // exit status, or 128 + signal number; Windows: the exit code
  std::string stderr_bytes;  // raw bytes
};
struct ProcessSucceeded {
  std::string stdout_bytes;  // raw bytes
};
using ProcessOutcome = std::variant<ProcessNotStarted, ProcessFailed, ProcessSucceeded>;

// How the child's environment differs from the caller's: each variable of `set` gets its value,
// each of `remove` is absent, and every other variable is passed on as it is. Names compare the
// way the platform compares them (exactly on POSIX, without regard to case on Windows).
struct EnvironmentChange {
  std::vector<std::pair<std::string, std::string>> set;  // name, value
  std::vector<std::string> remove;
};

// Starts `program` found on PATH (no shell) with `arguments` and the caller's environment changed
// by `environment`, stdin from the null device, and collects stdout and stderr whole (drained
// together so neither can stall the child); waits for its end. A `program` that holds a path is
// started as given. A name is looked up in the absolute folders of PATH only, never in the
// current folder nor one relative to it, and started by the file found; when none is found the
// outcome is the system's error of a missing file. On POSIX the name is looked up as it is (in
// the system's default search path where PATH is not set), and, as execvp has it, a file of that
// name that cannot be started is passed over and gives "permission denied" when no other is
// found; on Windows with the extensions .COM and .EXE as PATHEXT orders them, and each argument
// reaches the child as one argument of its C runtime.
ProcessOutcome run_program(const std::string& program, const std::vector<std::string>& arguments,
                           const EnvironmentChange& environment = {});

}  // namespace quorvane::platform
