#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/paths.hpp"
#include "support/result.hpp"

namespace quorvane::platform {

// The current working directory as the OS reports it, not made canonical.
// Failure: "<description> (os error N)".
Result<std::filesystem::path> current_directory();

// The whole content of a file as UTF-8 text, however little each read gives (see read_loop.hpp).
// Failure: the OS text "<description> (os error N)" or "stream did not contain valid UTF-8".
// Nothing can hang the caller: a device is refused with an OS text, and on POSIX the file is
// opened non-blocking, so that a FIFO without a writer reads as empty.
Result<std::string> read_utf8_file(const std::filesystem::path& path);

// The same, read into `buffer`, which the caller keeps from file to file so that reading many
// files allocates only when a file is larger than every one before it. The view points into
// `buffer` and is valid until its next use; `buffer` may be longer than the content.
Result<std::string_view> read_utf8_file(const std::filesystem::path& path, std::string& buffer);
// The same for a path as the walk gives it, without a std::filesystem::path per file.
Result<std::string_view> read_utf8_file(const NativePath& path, std::string& buffer);

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
