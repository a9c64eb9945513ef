#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace quorvane::testing {

// Symbolic links for tests, made the way each system can. Each gives why the link cannot be made
// here (the test then skips with that reason), or nothing once the link is there and the system
// shows it as a link. `target` is stored as given: a relative one is relative to the link's
// folder.

// A link to a directory. On Windows a symbolic link; under wine, which creates none, a Unix
// symbolic link in the Unix view of the folder, which wine shows as a reparse point.
std::optional<std::string> make_directory_link(const std::filesystem::path& target,
                                               const std::filesystem::path& link);

// A link to a file, or to nothing (a dangling link) when `target` does not exist.
std::optional<std::string> make_file_link(const std::filesystem::path& target,
                                          const std::filesystem::path& link);

}  // namespace quorvane::testing
