#include "platform/paths.hpp"

#include "platform/path_prefix.hpp"
#include "platform/win32_support.hpp"

namespace quorvane::platform {

std::filesystem::path path_from_utf8(std::string_view text) {
  return std::filesystem::path(win32::to_wide(text));
}

std::string path_bytes(const std::filesystem::path& path) {
  return win32::to_utf8(path.native());
}

std::string_view path_bytes(const NativePath& path, std::string& scratch) {
  scratch = win32::to_utf8(path);
  return scratch;
}

std::string_view path_bytes(const std::filesystem::path& path, std::string& scratch) {
  return path_bytes(path.native(), scratch);
}

std::string_view file_name_bytes(const std::filesystem::path& path, std::string& scratch) {
  return file_name_bytes(path.native(), scratch);
}

std::string_view file_name_bytes(const NativePath& path, std::string& scratch) {
  const std::wstring_view full = path;
  std::size_t start = full.size();
  while (start > 0 && !is_windows_separator(full[start - 1])) --start;
  scratch = win32::to_utf8(full.substr(start));
  return scratch;
}

std::filesystem::path join_path(const std::filesystem::path& base, std::string_view relative) {
  const std::wstring_view text = base.native();
  const std::size_t after_separators = relative.find_first_not_of("/\\");
  if (!relative.empty() && after_separators != 0) {
    // From the top of base's drive: its prefix as written (C:, \\?\C:, \\server\share,
    // \\?\UNC\server\share), then the root.
    std::wstring joined(text.substr(0, windows_path_prefix(text).length));
    joined += L'\\';
    if (after_separators != std::string_view::npos) {
      joined += win32::to_wide(relative.substr(after_separators));
    }
    return std::filesystem::path(std::move(joined));
  }
  std::wstring joined(text);
  if (joined.empty() || !is_windows_separator(joined.back())) joined += L'\\';
  joined += win32::to_wide(relative);
  return std::filesystem::path(std::move(joined));
}

}  // namespace quorvane::platform
