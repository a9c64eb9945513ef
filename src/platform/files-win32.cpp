#include "platform/files.hpp"

#include "platform/win32_support.hpp"

namespace quorvane::platform {

// Placeholder until the Windows file services are built.
Result<std::filesystem::path> current_directory() {
  return Failure{os_error_text(ERROR_CALL_NOT_IMPLEMENTED)};
}

Result<std::filesystem::path> canonical_path(const std::filesystem::path&) {
  return Failure{os_error_text(ERROR_CALL_NOT_IMPLEMENTED)};
}

}  // namespace quorvane::platform
