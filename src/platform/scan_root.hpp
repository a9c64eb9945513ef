#pragma once

#include <filesystem>

namespace quorvane::platform {

// The path that the walk over scan root `root` starts from: `root` (relative, as written in the
// manifest) joined to `project` as join_path joins them.
//
// On POSIX that is all. On Windows, which finds a name whatever its case and drops the trailing
// dots and spaces of a path's names, `root` is spelled as the disk spells the entries that Windows
// opens for it: each name that names an entry becomes that entry's name as its directory lists it,
// "." and ".." stay as written, and a root that names a file ends with the file's name. So the
// records, the choice of files and the walk all see the names that the walk below lists, and two
// roots that name one entry in two ways give one start path. A root from the top of the drive
// that passes through the project directory starts from `project` as given. A last name of only
// dots and spaces, which Windows drops, is left out: "src/ " and "src\..." start at src, and " "
// at the project. Any other name that names nothing stays as written.
std::filesystem::path scan_root_start(const std::filesystem::path& project,
                                      const std::filesystem::path& root);

}  // namespace quorvane::platform
