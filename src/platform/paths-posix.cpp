#include "platform/paths.hpp"

namespace quorvane::platform {

std::filesystem::path path_from_utf8(std::string_view text) {
  return std::filesystem::path(std::string(text));
}

std::string path_bytes(const std::filesystem::path& path) {
  return path.native();
}

std::string_view path_bytes(const NativePath& path, std::string& /*scratch*/) {
  return path;
}

std::string_view path_bytes(const std::filesystem::path& path, std::string& scratch) {
  return path_bytes(path.native(), scratch);
}

std::string_view file_name_bytes(const NativePath& path, std::string& /*scratch*/) {
  const std::string_view full = path;
  return full.substr(full.rfind('/') + 1);
}

std::string_view file_name_bytes(const std::filesystem::path& path, std::string& scratch) {
  return file_name_bytes(path.native(), scratch);
}

// "\" counts as a leading separator here too: the root texts follow the Windows rule on every
// system.
std::filesystem::path join_path(const std::filesystem::path& base, std::string_view relative) {
  const std::size_t after_separators = relative.find_first_not_of("/\\");
  // Joined by appending: g++ 12 at -O3 warns falsely (-Wrestrict) about "/" + a temporary.
  std::string joined;
  if (!relative.empty() && after_separators != 0) {
    joined = "/";
    if (after_separators != std::string_view::npos)
      joined.append(relative.substr(after_separators));
    return std::filesystem::path(std::move(joined));
  }
  joined = base.native();
  joined += '/';
  joined += relative;
  return std::filesystem::path(std::move(joined));
}

}  // namespace quorvane::platform
