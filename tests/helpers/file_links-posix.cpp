#include "helpers/file_links.hpp"

namespace quorvane::testing {

// The links are removed with the folder that holds them.
FileLinks::~FileLinks() = default;

// Links can always be made here; a failure throws and fails the test.
std::optional<std::string> FileLinks::to_directory(const std::filesystem::path& target,
                                                   const std::filesystem::path& link) {
  std::filesystem::create_directory_symlink(target, link);
  return std::nullopt;
}

std::optional<std::string> FileLinks::to_file(const std::filesystem::path& target,
                                              const std::filesystem::path& link) {
  std::filesystem::create_symlink(target, link);
  return std::nullopt;
}

}  // namespace quorvane::testing
