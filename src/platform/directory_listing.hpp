#pragma once

// The system's half of the walk (walk.cpp): what its start is, and the entries of a directory. The
// walk's order, its paths and its errors are the walk's own, the same on every system.

#include <cstddef>
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/paths.hpp"
#include "platform/system.hpp"
#include "platform/walk.hpp"
#include "support/result.hpp"

namespace quorvane::platform {

// A name as a listing gives it, in the system's characters.
using NativeName = std::basic_string_view<NativePath::value_type>;

// Whether the walk opens each entry by a path of its own (WalkEntry::system_path), made of the
// start's system path and the names as listed: on Windows, so that the system parses no listed
// name again (it would drop a trailing dot or space, and take con.rs for a device).
inline constexpr bool kOpensBySystemPaths = kIsWindows;

struct WalkStart {
  EntryType type = EntryType::Other;  // its own type, a link not followed
  bool walk_contents = false;         // a directory, or a link that leads to one
  // Where kOpensBySystemPaths: the path that the start is opened and listed by, on Windows the
  // verbatim form of its names as written. Empty elsewhere.
  NativePath system_path;
};

// The start of a walk, followed when it is a link. Failure: "<description> (os error N)".
Result<WalkStart> look_at_walk_start(const std::filesystem::path& start);

// One entry of a listed directory.
struct ListedEntry {
  std::size_t name_start;  // its name is names[name_start, name_start + name_size) of its listing
  std::size_t name_size;
  EntryType type;
  // The system's error number when the entry's type could not be found (the listing left it
  // open and the entry could not be looked at on its own), else 0.
  int error;
};

// The entries of one directory, "." and ".." left out, in the system's listing order. Their
// names share one text, so that listing a directory allocates nothing per entry.
struct DirectoryEntries {
  NativePath names;
  std::vector<ListedEntry> entries;
};

// Reads every entry of the directory at `path` (the path it is opened by) into `into` and closes
// the directory before it returns, so that a walk holds at most one directory open however deep
// the tree is. Gives 0, or the system's error number that stopped the listing; the entries read
// before it are kept.
int list_directory(const NativePath& path, DirectoryEntries& into);

}  // namespace quorvane::platform
