#include "platform/scan_root.hpp"

#include "platform/paths.hpp"

namespace quorvane::platform {

std::filesystem::path scan_root_start(const std::filesystem::path& project,
                                      const std::filesystem::path& root) {
  return join_path(project, path_bytes(root));
}

}  // namespace quorvane::platform
