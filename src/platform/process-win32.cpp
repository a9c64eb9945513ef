#include "platform/process.hpp"
#include "platform/win32_support.hpp"

namespace quorvane::platform {

// Placeholder until the Windows child process is built.
ProcessOutcome run_program(const std::string&, const std::vector<std::string>&,
                           const EnvironmentChange&) {
  return ProcessNotStarted{os_error_text(ERROR_CALL_NOT_IMPLEMENTED)};
}

}  // namespace quorvane::platform
