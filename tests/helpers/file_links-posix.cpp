#include "helpers/file_links.hpp"

namespace quorvane::testing {

// Links can always be made here; a failure throws and fails the test.
std::optional<std::string> make_directory_link(const std::filesystem::path& target,
                                               const std::filesystem::path& link) {
  std::filesystem::create_directory_symlink(target, link);
  return std::nullopt;
}

std::optional<std::string> make_file_link(const std::filesystem::path& target,
                                          const std::filesystem::path& link) {
  std::filesystem::create_symlink(target, link);
  return std::nullopt;
}

}  // namespace quorvane::testing
