#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/path_prefix.hpp"
#include "platform/system.hpp"

namespace quorvane::platform {

// A path as the system spells it (bytes on POSIX, UTF-16 on Windows), without the component
// list that a std::filesystem::path builds on every construction: the walk gives many.
using NativePath = std::filesystem::path::string_type;

// Paths cross into the rest of the program as bytes: the native bytes on POSIX, and UTF-8 on
// Windows, converted here and never through the ANSI code page.

// A path named by UTF-8 text (from the manifest or the command line).
std::filesystem::path path_from_utf8(std::string_view text);

// The path as bytes: its native bytes on POSIX (not necessarily UTF-8); UTF-8 on Windows, where
// an unpaired surrogate of a UTF-16 name becomes U+FFFD.
std::string path_bytes(const std::filesystem::path& path);
// The same as a view, into `path` or into `scratch`, whichever the system needs; valid while
// both are. No copy on POSIX, for the scan's per-file paths.
std::string_view path_bytes(const std::filesystem::path& path, std::string& scratch);
std::string_view path_bytes(const NativePath& path, std::string& scratch);

// The last component of `path` as bytes, the way path_bytes gives them, as a view like the one
// above.
std::string_view file_name_bytes(const NativePath& path, std::string& scratch);

// The length of the drive or share prefix that begins `path` (bytes as path_bytes gives them): on
// Windows that of path_prefix.hpp (C:, \\server\share, \\?\C: ...), 0 when there is none; always
// 0 on POSIX, where no path has one. This and the next are inline: record paths ask them for
// every path and every name the scan meets.
inline std::size_t path_prefix_length(std::string_view path) {
  return kIsWindows ? windows_path_prefix(path).length : 0;
}

// The position of the first separator of `path` at or after `pos`, or npos: "/", and on Windows
// "\" too.
inline std::size_t find_path_separator(std::string_view path, std::size_t pos) {
  return kIsWindows ? path.find_first_of("/\\", pos) : path.find('/', pos);
}

// `relative` (UTF-8 text) appended to `base` as text after a separator, so that it never
// replaces `base`, whatever it holds. A text that begins with a separator names a place from the
// top of `base`'s drive instead: the file-system root on POSIX.
std::filesystem::path join_path(const std::filesystem::path& base, std::string_view relative);

}  // namespace quorvane::platform
