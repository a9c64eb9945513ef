#include "platform/files.hpp"

namespace quorvane::platform {
namespace {

bool is_separator(char c) {
  return c == '\\' || c == '/';
}

bool is_ascii_letter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The length of the leading component of `text`, up to the next separator.
std::size_t component_length(std::string_view text) {
  std::size_t n = 0;
  while (n < text.size() && !is_separator(text[n])) ++n;
  return n;
}

// A path starting with two separators: the verbatim form \\?\..., the device form \\.\... and a
// UNC share \\server\share are prefixes that count as rooted by themselves.
bool is_rooted_double_separator_prefix(std::string_view path) {
  const std::string_view rest = path.substr(2);
  // The verbatim form is recognised only with backslashes: its meaning depends on them.
  if (path.substr(0, 4) == "\\\\?\\") return true;
  if (rest.size() >= 2 && rest[0] == '.' && is_separator(rest[1])) return true;
  const std::size_t server = component_length(rest);
  if (server == 0 || server == rest.size()) return false;
  const std::size_t share = component_length(rest.substr(server + 1));
  return share > 0;
}

}  // namespace

bool is_absolute_by_windows_rule(std::string_view path) {
  if (path.size() >= 2 && is_separator(path[0]) && is_separator(path[1])) {
    return is_rooted_double_separator_prefix(path);
  }
  // A drive letter is absolute only with a separator right after the colon ("C:x" is relative
  // to the drive's current directory).
  return path.size() >= 3 && is_ascii_letter(path[0]) && path[1] == ':' && is_separator(path[2]);
}

bool starts_with_components(const std::filesystem::path& path, const std::filesystem::path& base) {
  // Empty elements (from trailing separators) and "." carry no component.
  const auto is_component = [](const std::filesystem::path& element) {
    return !element.empty() && element != ".";
  };
  auto it = path.begin();
  for (const auto& wanted : base) {
    if (!is_component(wanted)) continue;
    while (it != path.end() && !is_component(*it)) ++it;
    if (it == path.end() || *it != wanted) return false;
    ++it;
  }
  return true;
}

}  // namespace quorvane::platform
