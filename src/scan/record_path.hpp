#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// One component of a path as record paths see it (see record_path in scanner.hpp).
struct PathComponent {
  enum class Kind { Prefix, Root, Current, Parent, Name };
  Kind kind;
  std::string_view text;

  bool operator==(const PathComponent&) const = default;
};

// record_path for the many paths of one scan: the root's components are found once, and each
// path's record path is written into a text that the caller keeps from file to file, so that
// nothing is allocated per path once that text has grown.
class RecordPaths {
 public:
  // `root` as bytes (platform::path_bytes).
  explicit RecordPaths(std::string_view root);
  RecordPaths(const RecordPaths&) = delete;  // the components are views into `root_`
  RecordPaths& operator=(const RecordPaths&) = delete;

  // The record path of `path` (as bytes) into `out`, which is overwritten.
  void write(std::string_view path, std::string& out) const;

 private:
  std::string root_;
  std::vector<PathComponent> base_;
};

}  // namespace quorvane
