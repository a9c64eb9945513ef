#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/paths.hpp"
#include "support/result.hpp"

namespace quorvane::platform {

// What a read does with a FIFO, which may be given its content while it is read (POSIX; Windows
// keeps none among its files). The scanned tree must never hang the scan, so there a FIFO gives
// what has arrived when it is read, and nothing when no writer is there. A file the user means us
// to read, such as the manifest, is read as cat reads it: the read waits for the writer and goes
// on until the writer closes it, however long that takes.
enum class FifoReading { TakeWhatHasArrived, WaitForTheWriter };

// The whole content of a file as UTF-8 text, however little each read gives (see read_loop.hpp).
// Failure: the OS text "<description> (os error N)" or "stream did not contain valid UTF-8".
// A device is refused with an OS text, as it may never reach its end; the file is opened without
// waiting, and a FIFO is read as `fifos` says.
Result<std::string> read_utf8_file(const std::filesystem::path& path,
                                   FifoReading fifos = FifoReading::TakeWhatHasArrived);

// The same for a path as the walk gives it (no std::filesystem::path per file), read into
// `buffer`, which the caller keeps from file to file so that reading many files allocates only
// when a file is larger than every one before it. The view points into `buffer` and is valid
// until its next use; `buffer` may be longer than the content. A FIFO gives what has arrived.
Result<std::string_view> read_utf8_file(const NativePath& path, std::string& buffer);

// Everything the file at `path` holds, read through read_to_end into the front of `buffer`;
// gives its length. Each system opens and reads the file its own way; the UTF-8 check that
// read_utf8_file adds is shared.
Result<std::size_t> read_whole_file(const std::filesystem::path& path, std::string& buffer,
                                    FifoReading fifos);
Result<std::size_t> read_whole_file(const NativePath& path, std::string& buffer, FifoReading fifos);

}  // namespace quorvane::platform
