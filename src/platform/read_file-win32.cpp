#include "platform/read_loop.hpp"
#include "platform/win32_support.hpp"

namespace quorvane::platform {

// Placeholder until the Windows file services are built.
Result<std::size_t> read_whole_file(const std::filesystem::path&, std::string&) {
  return Failure{os_error_text(ERROR_CALL_NOT_IMPLEMENTED)};
}

}  // namespace quorvane::platform
