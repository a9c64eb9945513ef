#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace quorvane::testing {

// What a test that makes a huge file asks of the machine, each where the system can tell.

// The memory that programs can still take, in bytes.
std::optional<std::uintmax_t> available_memory();

// Asks the file system to keep the holes of the (empty) file at `path`, where it needs asking;
// false if it refused.
bool make_sparse(const std::filesystem::path& path);

// The bytes that the file system has given the file at `path`: fewer than its size where it
// keeps holes.
std::optional<std::uintmax_t> allocated_bytes(const std::filesystem::path& path);

}  // namespace quorvane::testing
