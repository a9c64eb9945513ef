#pragma once

#include <string>
#include <string_view>

#include "platform/os_error.hpp"
#include "platform/system.hpp"

namespace quorvane::testing {

// Win32 error codes that tests expect, named as the system names them.
namespace win32_error {
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kAccessDenied = 5;
inline constexpr int kSharingViolation = 32;
inline constexpr int kNotSupported = 50;
inline constexpr int kInvalidName = 123;
}  // namespace win32_error

// The OS text a test expects for one failure: on POSIX the C library's fixed text, on Windows the
// system's own text for the Win32 code, never written out (Windows's and wine's words differ).
inline std::string expected_os_text(std::string_view posix_text, int windows_code) {
  if (platform::kIsWindows) return platform::os_error_text(windows_code);
  return std::string(posix_text);
}

}  // namespace quorvane::testing
