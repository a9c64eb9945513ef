#pragma once

#include <filesystem>
#include <string>
#include <string_view>

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
std::string_view file_name_bytes(const std::filesystem::path& path, std::string& scratch);
std::string_view file_name_bytes(const NativePath& path, std::string& scratch);

// `relative` (UTF-8 text) appended to `base` as text after a separator, so that it never
// replaces `base`, whatever it holds. A text that begins with a separator names a place from the
// top of `base`'s drive instead: the file-system root on POSIX.
std::filesystem::path join_path(const std::filesystem::path& base, std::string_view relative);

}  // namespace quorvane::platform
