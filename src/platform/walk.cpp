#include "platform/walk.hpp"

#include <string>
#include <vector>

#include <fmt/format.h>

#include "platform/directory_listing.hpp"
#include "platform/os_error.hpp"
#include "platform/paths.hpp"
#include "platform/system.hpp"
#include "support/text.hpp"

namespace quorvane::platform {
namespace {

// A directory already listed and closed; its entries wait to be visited.
struct Frame {
  NativePath path;
  NativePath system_path;  // see WalkStart
  DirectoryEntries listed;
  std::size_t next = 0;
};

// `os_text` is "<description> (os error N)".
WalkError io_error(const NativePath& path, std::string_view os_text) {
  std::string scratch;
  // Names may hold any bytes; the message is text.
  return WalkError{std::filesystem::path(path),
                   fmt::format("IO error for operation on {}: {}",
                               decode_utf8_lossy(path_bytes(path, scratch)), os_text)};
}

// `parent` and `name` joined into `joined` as the walk names its entries: a separator between
// them unless the parent ends in one. `joined` is reused from entry to entry.
void child_path(const NativePath& parent, NativeName name, NativePath& joined) {
  joined.assign(parent);
  const bool ends_in_separator =
      !joined.empty() && (joined.back() == '/' || (kIsWindows && joined.back() == '\\'));
  if (!ends_in_separator) joined += std::filesystem::path::preferred_separator;
  joined.append(name);
}

// Lists the directory `path` (with its system path, see WalkStart) onto the stack, or reports
// why it cannot be listed.
void descend(const NativePath& path, const NativePath& system_path, std::vector<Frame>& stack,
             const WalkVisitor& visitor) {
  Frame frame{path, system_path, {}, 0};
  const int error = list_directory(kOpensBySystemPaths ? system_path : path, frame.listed);
  if (error != 0) visitor.on_error(io_error(path, os_error_text(error)));
  if (!frame.listed.entries.empty()) stack.push_back(std::move(frame));
}

}  // namespace

void walk_tree(const std::filesystem::path& start, const WalkVisitor& given) {
  // A caller may listen to entries only, or to errors only.
  const WalkVisitor visitor{
      given.on_entry ? given.on_entry : [](const WalkEntry&) {},
      given.on_error ? given.on_error : [](const WalkError&) {},
  };
  const Result<WalkStart> looked = look_at_walk_start(start);
  if (!looked) {
    visitor.on_error(io_error(start.native(), looked.error()));
    return;
  }
  const WalkStart& info = looked.value();
  visitor.on_entry(
      WalkEntry{start.native(), info.type, kOpensBySystemPaths ? &info.system_path : nullptr});
  if (!info.walk_contents) return;

  // An explicit stack instead of recursion: no depth limit from the call stack.
  std::vector<Frame> stack;
  descend(start.native(), info.system_path, stack, visitor);
  // Each entry's paths are written into the same texts, which stop growing once they have held
  // the longest paths.
  NativePath path;
  NativePath system_path;
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next == top.listed.entries.size()) {
      stack.pop_back();
      continue;
    }
    const ListedEntry& child = top.listed.entries[top.next++];
    const NativeName name(top.listed.names.data() + child.name_start, child.name_size);
    child_path(top.path, name, path);
    if (kOpensBySystemPaths) child_path(top.system_path, name, system_path);
    if (child.error != 0) {
      visitor.on_error(io_error(path, os_error_text(child.error)));
      continue;
    }
    const EntryType type = child.type;
    visitor.on_entry(WalkEntry{path, type, kOpensBySystemPaths ? &system_path : nullptr});
    // `top` may move when the stack grows; nothing of it is used past this point.
    if (type == EntryType::Directory) descend(path, system_path, stack, visitor);
  }
}

}  // namespace quorvane::platform
