#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/paths.hpp"

namespace quorvane::platform {

enum class EntryType { Directory, Symlink, Other };

struct WalkEntry {
  // The start path joined with the names below it. The walk reuses the text for the next
  // entry, so it is valid during the call only.
  const NativePath& path;
  EntryType type;  // the entry's own type, links not followed
  // The path the entry is opened by where it is not `path`: on Windows the verbatim path made of
  // the start's and the listed names, which the system does not parse again; none on POSIX.
  // Valid during the call only, like `path`.
  const NativePath* system_path = nullptr;
};

// The path by which to open (read) a walked entry.
inline const NativePath& open_path(const WalkEntry& entry) {
  return entry.system_path == nullptr ? entry.path : *entry.system_path;
}

struct WalkError {
  std::optional<std::filesystem::path> path;  // the entry or directory concerned, if any
  std::string message;  // "IO error for operation on {path}: {os text}", or the OS text alone
};

struct WalkVisitor {
  std::function<void(const WalkEntry&)> on_entry;
  std::function<void(const WalkError&)> on_error;
};

// Depth-first walk from `start`: the start entry first, then (for a directory) its contents in
// the file system's listing order, unsorted and unfiltered. Links below the start are reported
// and not followed; a start that is a link to a directory is walked. Errors are items: a
// directory that cannot be listed gives one error right after its own entry and the walk goes on.
// On Windows the names of `start` are taken as written, never trimmed of a trailing dot or space
// nor taken for a device: the start of a scan root is spelled as the disk spells it
// (scan_root.hpp).
void walk_tree(const std::filesystem::path& start, const WalkVisitor& visitor);

}  // namespace quorvane::platform
