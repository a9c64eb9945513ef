#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/paths.hpp"

namespace quorvane::platform {

enum class EntryType { Directory, Symlink, Other };

struct WalkEntry {
  // The start path joined with the names below it; the walk reuses the text for the next
  // entry, so it is valid during the call only.
  const NativePath& path;
  EntryType type;  // the entry's own type, links not followed
};

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
void walk_tree(const std::filesystem::path& start, const WalkVisitor& visitor);

}  // namespace quorvane::platform
