#include "platform/walk.hpp"
#include "platform/win32_support.hpp"

namespace quorvane::platform {

// Placeholder until the Windows file services are built.
void walk_tree(const std::filesystem::path& start, const WalkVisitor& visitor) {
  visitor.on_error(WalkError{start, os_error_text(ERROR_CALL_NOT_IMPLEMENTED)});
}

}  // namespace quorvane::platform
