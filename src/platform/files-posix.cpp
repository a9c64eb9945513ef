#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

#include "platform/files.hpp"
#include "platform/os_error.hpp"

namespace quorvane::platform {

Result<std::filesystem::path> current_directory() {
  std::string buffer(PATH_MAX, '\0');
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return Failure{os_error_text(errno)};
    buffer.resize(buffer.size() * 2);
  }
  buffer.resize(std::char_traits<char>::length(buffer.c_str()));
  return std::filesystem::path(buffer);
}

Result<std::filesystem::path> canonical_path(const std::filesystem::path& path) {
  // No entry has a NUL in its name; the C call would silently resolve a shorter path instead.
  if (path.native().find('\0') != std::string::npos) return Failure{os_error_text(EINVAL)};
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                       &std::free);
  if (!resolved) return Failure{os_error_text(errno)};
  return std::filesystem::path(resolved.get());
}

}  // namespace quorvane::platform
