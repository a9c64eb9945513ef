#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quorvane::testing {

// Symbolic links for a test, made the way each system can. Each maker gives why the link cannot
// be made here (the test then skips with that reason), or nothing once the link is there and the
// system shows it as a link. `target` is stored as given: a relative one is relative to the
// link's folder.
//
// Under wine, which creates no Windows links, a directory link is a Unix symbolic link made in the
// Unix view of the folder (wine shows it as a reparse point). Wine's own calls cannot remove such
// a link, so the object removes the links it made when it goes: declare it after the TempProject
// that holds them.
class FileLinks {
 public:
  FileLinks() = default;
  ~FileLinks();
  FileLinks(const FileLinks&) = delete;
  FileLinks& operator=(const FileLinks&) = delete;

  // A link to a directory.
  std::optional<std::string> to_directory(const std::filesystem::path& target,
                                          const std::filesystem::path& link);

  // A link to a file, or to nothing (a dangling link) when `target` does not exist.
  std::optional<std::string> to_file(const std::filesystem::path& target,
                                     const std::filesystem::path& link);

 private:
  std::vector<std::filesystem::path> unix_links_;  // made in the Unix view, removed at the end
};

}  // namespace quorvane::testing
