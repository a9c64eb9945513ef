#include "helpers/without_privileges.hpp"

namespace quorvane::testing {

void open_to_others(const std::filesystem::path& top) {
  namespace fs = std::filesystem;
  const auto others = fs::perms::others_read | fs::perms::others_exec | fs::perms::group_read |
                      fs::perms::group_exec;
  fs::permissions(top, others, fs::perm_options::add);
  for (const auto& entry : fs::recursive_directory_iterator(top)) {
    if (entry.is_symlink()) continue;
    fs::permissions(entry.path(), others, fs::perm_options::add);
  }
}

}  // namespace quorvane::testing
