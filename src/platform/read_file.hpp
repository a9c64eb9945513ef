#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/paths.hpp"
#include "support/result.hpp"

namespace quorvane::platform {

// The whole content of a file as UTF-8 text, however little each read gives (see read_loop.hpp).
// Failure: the OS text "<description> (os error N)" or "stream did not contain valid UTF-8".
// Nothing can hang the caller: a device is refused with an OS text, and on POSIX the file is
// opened non-blocking, so that a FIFO without a writer reads as empty.
Result<std::string> read_utf8_file(const std::filesystem::path& path);

// The same for a path as the walk gives it (no std::filesystem::path per file), read into
// `buffer`, which the caller keeps from file to file so that reading many files allocates only
// when a file is larger than every one before it. The view points into `buffer` and is valid
// until its next use; `buffer` may be longer than the content.
Result<std::string_view> read_utf8_file(const NativePath& path, std::string& buffer);

// Everything the file at `path` holds, read through read_to_end into the front of `buffer`;
// gives its length. Each system opens and reads the file its own way; the UTF-8 check that
// read_utf8_file adds is shared.
Result<std::size_t> read_whole_file(const std::filesystem::path& path, std::string& buffer);
Result<std::size_t> read_whole_file(const NativePath& path, std::string& buffer);

}  // namespace quorvane::platform
