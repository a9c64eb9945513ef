#include "platform/files.hpp"

#include <algorithm>
#include <vector>

#include "platform/path_prefix.hpp"
#include "platform/paths.hpp"
#include "platform/system.hpp"
#include "support/text.hpp"

namespace quorvane::platform {
namespace {

// What a prefix compares by: a drive letter the same in either form and either case, a share
// likewise (server and share names ignore case); the others as written, but for case and the
// separator. Each key begins with a separator, which no name holds.
std::string prefix_key(std::string_view prefix, PrefixKind kind) {
  const auto lower = [](std::string_view text) {
    std::string out = ascii_lower(text);
    std::replace(out.begin(), out.end(), '/', '\\');
    return out;
  };
  switch (kind) {
    case PrefixKind::Disk:
      return "\\disk " + lower(prefix.substr(0, 1));
    case PrefixKind::VerbatimDisk:
      return "\\disk " + lower(prefix.substr(4, 1));
    case PrefixKind::Unc:
      return "\\unc " + lower(prefix.substr(2));
    case PrefixKind::VerbatimUnc:
      return "\\unc " + lower(prefix.substr(8));
    case PrefixKind::Verbatim:
    case PrefixKind::Device:
    case PrefixKind::None:
      break;
  }
  return "\\other " + lower(prefix);
}

// One component of a path for the inside test: the prefix, the root and each name, as the text
// they compare by.
std::vector<std::string> comparable_components(std::string_view path) {
  std::vector<std::string> out;
  if (kIsWindows) {
    const PathPrefix prefix = windows_path_prefix(path);
    if (prefix.kind != PrefixKind::None) {
      out.push_back(prefix_key(path.substr(0, prefix.length), prefix.kind));
      path.remove_prefix(prefix.length);
    }
  }
  if (!path.empty() && is_path_separator(path.front())) out.emplace_back(1, '/');
  std::size_t pos = 0;
  while (pos < path.size()) {
    std::size_t end = pos;
    while (end < path.size() && !is_path_separator(path[end])) ++end;
    const std::string_view piece = path.substr(pos, end - pos);
    // Empty pieces (doubled or trailing separators) and "." carry no component.
    if (!piece.empty() && piece != ".") out.emplace_back(piece);
    pos = end + 1;
  }
  return out;
}

}  // namespace

bool is_absolute_by_windows_rule(std::string_view path) {
  const PathPrefix prefix = windows_path_prefix(path);
  switch (prefix.kind) {
    case PrefixKind::None:
      return false;
    case PrefixKind::Disk:
      // "C:x" is relative to the drive's current directory.
      return path.size() > 2 && is_windows_separator(path[2]);
    default:
      // UNC shares, the verbatim and the device forms count as rooted by themselves.
      return true;
  }
}

bool starts_with_components(const std::filesystem::path& path, const std::filesystem::path& base) {
  const std::vector<std::string> full = comparable_components(path_bytes(path));
  const std::vector<std::string> wanted = comparable_components(path_bytes(base));
  if (wanted.size() > full.size()) return false;
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    if (full[i] != wanted[i]) return false;
  }
  return true;
}

}  // namespace quorvane::platform
