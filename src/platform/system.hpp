#pragma once

namespace quorvane::platform {

// Which system the program is built for, for the few shared rules that differ by it (which
// characters separate path components). Everything else that differs by system lives in the
// `-posix`/`-win32` files of this folder; what differs by machine, in byte_blocks.hpp.
#if defined(_WIN32)
inline constexpr bool kIsWindows = true;
#else
inline constexpr bool kIsWindows = false;
#endif

// Whether `c` separates path components: "/" everywhere, and "\" too on Windows.
constexpr bool is_path_separator(char c) {
  return c == '/' || (kIsWindows && c == '\\');
}

}  // namespace quorvane::platform
