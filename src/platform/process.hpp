#pragma once

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

namespace quorvane::platform {

struct ProcessNotStarted {
  std::string message;  // "<description> (os error N)"
};
struct ProcessFailed {
  int status;                 // exit status, or 128 + signal number
  std::string stderr_bytes;   // raw bytes
};
struct ProcessSucceeded {
  std::string stdout_bytes;   // raw bytes
};
using ProcessOutcome = std::variant<ProcessNotStarted, ProcessFailed, ProcessSucceeded>;

// Starts `program` found on PATH (no shell) with `arguments`, stdin from /dev/null, and collects
// stdout and stderr whole (drained together so neither can stall the child); waits for its end.
ProcessOutcome run_program(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace quorvane::platform
