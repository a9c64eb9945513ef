#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "support/result.hpp"

namespace quorvane::platform {

// The current working directory as the OS reports it, not made canonical.
// Failure: "<description> (os error N)".
Result<std::filesystem::path> current_directory();

// The absolute path of an existing entry with every link, "." and ".." resolved; on Windows the
// final path name of the opened entry, in the \\?\ form (\\?\C:\... or \\?\UNC\...).
// Failure: "<description> (os error N)".
Result<std::filesystem::path> canonical_path(const std::filesystem::path& path);

// The Windows rule of an absolute path, as a pure text test: a prefix (drive letter and colon,
// UNC share, \\?\ or \\.\) and a root; a drive letter needs a separator right after the colon.
bool is_absolute_by_windows_rule(std::string_view path);

// True when the first components of `path` equal all components of `base`; empty and "."
// components do not count. On Windows both separators separate, and a prefix is one component
// that names the same drive or share in its plain and its verbatim form (C: and \\?\C:, whatever
// the letter's case); names compare exactly, as the canonical forms compared here spell them
// alike.
bool starts_with_components(const std::filesystem::path& path, const std::filesystem::path& base);

}  // namespace quorvane::platform
