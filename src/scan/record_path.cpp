#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/path_prefix.hpp"
#include "platform/paths.hpp"
#include "platform/system.hpp"
#include "scan/scanner.hpp"
#include "support/text.hpp"

namespace quorvane {
namespace {

enum class ComponentKind { Prefix, Root, Current, Parent, Name };

struct Component {
  ComponentKind kind;
  std::string_view text;

  bool operator==(const Component&) const = default;
};

// The components of a path: on Windows a drive or share prefix first, as written; then the root;
// separators collapse, a trailing separator adds nothing, and "." is kept only as the very first
// component of a relative path.
std::vector<Component> components_of(std::string_view path) {
  std::vector<Component> out;
  std::size_t pos = 0;
  if (platform::kIsWindows) {
    const platform::PathPrefix prefix = platform::windows_path_prefix(path);
    if (prefix.kind != platform::PrefixKind::None) {
      out.push_back({ComponentKind::Prefix, path.substr(0, prefix.length)});
      pos = prefix.length;
    }
  }
  if (pos < path.size() && platform::is_path_separator(path[pos])) {
    out.push_back({ComponentKind::Root, {}});
    ++pos;
  }
  while (pos < path.size()) {
    std::size_t end = pos;
    while (end < path.size() && !platform::is_path_separator(path[end])) ++end;
    const std::string_view piece = path.substr(pos, end - pos);
    pos = end + 1;
    if (piece.empty()) continue;
    if (piece == ".") {
      if (out.empty()) out.push_back({ComponentKind::Current, piece});
    } else if (piece == "..") {
      out.push_back({ComponentKind::Parent, piece});
    } else {
      out.push_back({ComponentKind::Name, piece});
    }
  }
  return out;
}

void append_component(std::string& out, const Component& component) {
  switch (component.kind) {
    case ComponentKind::Prefix:
      out += component.text;
      return;
    case ComponentKind::Root:
      out += '\\';
      return;
    case ComponentKind::Current:
      out += '.';
      return;
    case ComponentKind::Parent:
      out += "..";
      return;
    case ComponentKind::Name:
      out += decode_utf8_lossy(component.text);
      return;
  }
}

}  // namespace

std::string record_path(const std::filesystem::path& root, const std::filesystem::path& path) {
  std::string root_scratch;
  std::string path_scratch;
  const std::vector<Component> base = components_of(platform::path_bytes(root, root_scratch));
  const std::vector<Component> full = components_of(platform::path_bytes(path, path_scratch));
  std::size_t first = 0;
  if (base.size() <= full.size() && std::equal(base.begin(), base.end(), full.begin())) {
    first = base.size();
  }
  std::string out;
  for (std::size_t i = first; i < full.size(); ++i) {
    if (i > first) out += '/';
    append_component(out, full[i]);
  }
  return out;
}

}  // namespace quorvane
