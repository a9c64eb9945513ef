#pragma once

// A walk as text lines, so that a test compares a whole walk at once.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/paths.hpp"
#include "platform/system.hpp"
#include "platform/walk.hpp"

namespace quorvane::testing {

// One walk item as text: "D a/b", "L a/link", "F a/x.rs" for entries (directory, link, other),
// "! a/b: message" for errors; paths relative to the project with "/" between names, the start
// itself as ".".
inline std::vector<std::string> walk_items(const std::filesystem::path& project,
                                           const std::filesystem::path& start) {
  std::vector<std::string> items;
  const auto relative = [&](const std::filesystem::path& path) {
    const std::string full = platform::path_bytes(path);
    const std::string base = platform::path_bytes(project);
    if (full == base) return std::string(".");
    if (full.size() <= base.size() || !full.starts_with(base) ||
        !platform::is_path_separator(full[base.size()])) {
      return full;
    }
    std::string rest = full.substr(base.size() + 1);
    std::replace_if(rest.begin(), rest.end(), platform::is_path_separator, '/');
    return rest;
  };
  platform::walk_tree(start,
                      platform::WalkVisitor{
                          [&](const platform::WalkEntry& entry) {
                            const char* mark = entry.type == platform::EntryType::Directory ? "D "
                                               : entry.type == platform::EntryType::Symlink ? "L "
                                                                                            : "F ";
                            items.push_back(mark + relative(entry.path));
                          },
                          [&](const platform::WalkError& error) {
                            items.push_back("! " + (error.path ? relative(*error.path) : "-") +
                                            ": " + error.message);
                          }});
  return items;
}

inline std::vector<std::string> sorted(std::vector<std::string> items) {
  std::sort(items.begin(), items.end());
  return items;
}

}  // namespace quorvane::testing
