#include "platform/paths.hpp"

#include "platform/win32_support.hpp"

namespace quorvane::platform {
namespace {

bool is_separator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

}  // namespace

std::filesystem::path path_from_utf8(std::string_view text) {
  return std::filesystem::path(win32::to_wide(text));
}

std::string path_bytes(const std::filesystem::path& path) {
  return win32::to_utf8(path.native());
}

std::string_view path_bytes(const std::filesystem::path& path, std::string& scratch) {
  scratch = win32::to_utf8(path.native());
  return scratch;
}

std::string_view file_name_bytes(const std::filesystem::path& path, std::string& scratch) {
  const std::wstring_view full = path.native();
  std::size_t start = full.size();
  while (start > 0 && !is_separator(full[start - 1])) --start;
  scratch = win32::to_utf8(full.substr(start));
  return scratch;
}

std::filesystem::path join_path(const std::filesystem::path& base, std::string_view relative) {
  const std::size_t after_separators = relative.find_first_not_of("/\\");
  if (!relative.empty() && after_separators != 0) {
    // From the top of base's drive.
    std::wstring joined = base.root_name().native();
    joined += L'\\';
    if (after_separators != std::string_view::npos) {
      joined += win32::to_wide(relative.substr(after_separators));
    }
    return std::filesystem::path(std::move(joined));
  }
  std::wstring joined = base.native();
  if (joined.empty() || !is_separator(joined.back())) joined += L'\\';
  joined += win32::to_wide(relative);
  return std::filesystem::path(std::move(joined));
}

}  // namespace quorvane::platform
