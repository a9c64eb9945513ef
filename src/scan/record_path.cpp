#include "scan/record_path.hpp"

#include <algorithm>
#include <string_view>

#include "platform/path_prefix.hpp"
#include "platform/paths.hpp"
#include "platform/system.hpp"
#include "scan/scanner.hpp"
#include "support/text.hpp"

namespace quorvane {
namespace {

using ComponentKind = PathComponent::Kind;
using Component = PathComponent;

// The first separator at or after `pos`, or npos.
std::size_t next_separator(std::string_view path, std::size_t pos) {
  return platform::kIsWindows ? path.find_first_of("/\\", pos) : path.find('/', pos);
}

// The components of a path, one at a time: on Windows a drive or share prefix first, as
// written; then the root; separators collapse, a trailing separator adds nothing, and "." is
// kept only as the very first component of a relative path.
class ComponentReader {
 public:
  explicit ComponentReader(std::string_view path) : path_(path) {
    if (platform::kIsWindows) {
      const platform::PathPrefix prefix = platform::windows_path_prefix(path);
      if (prefix.kind != platform::PrefixKind::None) {
        head_[head_count_++] = {ComponentKind::Prefix, path.substr(0, prefix.length)};
        pos_ = prefix.length;
      }
    }
    if (pos_ < path.size() && platform::is_path_separator(path[pos_])) {
      head_[head_count_++] = {ComponentKind::Root, {}};
      ++pos_;
    }
  }

  bool next(Component& out) {
    if (head_next_ < head_count_) {
      out = head_[head_next_++];
      given_ = true;
      return true;
    }
    while (pos_ < path_.size()) {
      const std::size_t end = std::min(next_separator(path_, pos_), path_.size());
      const std::string_view piece = path_.substr(pos_, end - pos_);
      pos_ = end + 1;
      if (piece.empty()) continue;
      if (piece == ".") {
        if (given_) continue;
        out = {ComponentKind::Current, piece};
      } else {
        out = {piece == ".." ? ComponentKind::Parent : ComponentKind::Name, piece};
      }
      given_ = true;
      return true;
    }
    return false;
  }

 private:
  std::string_view path_;
  std::size_t pos_ = 0;
  Component head_[2] = {};
  std::size_t head_count_ = 0;
  std::size_t head_next_ = 0;
  bool given_ = false;  // a component has been given
};

// `valid`: the whole path is known to be valid UTF-8, so no name needs a look of its own.
void append_component(std::string& out, const Component& component, bool valid) {
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
      // Names are nearly always valid UTF-8 and go in as they are.
      if (valid || is_valid_utf8(component.text)) {
        out += component.text;
      } else {
        out += decode_utf8_lossy(component.text);
      }
      return;
  }
}

}  // namespace

RecordPaths::RecordPaths(std::string_view root) : root_(root) {
  ComponentReader reader(root_);
  Component component{};
  while (reader.next(component)) base_.push_back(component);
}

void RecordPaths::write(std::string_view path, std::string& out) const {
  out.clear();
  ComponentReader reader(path);
  Component component{};
  // The remainder after the root's components when the path begins with all of them, else the
  // path whole.
  for (const Component& wanted : base_) {
    if (!reader.next(component) || component != wanted) {
      reader = ComponentReader(path);
      break;
    }
  }
  const bool valid = is_valid_utf8(path);
  bool first = true;
  while (reader.next(component)) {
    if (!first) out += '/';
    first = false;
    append_component(out, component, valid);
  }
}

std::string record_path(const std::filesystem::path& root, const std::filesystem::path& path) {
  std::string root_scratch;
  std::string path_scratch;
  const RecordPaths paths(platform::path_bytes(root, root_scratch));
  std::string out;
  paths.write(platform::path_bytes(path, path_scratch), out);
  return out;
}

}  // namespace quorvane
