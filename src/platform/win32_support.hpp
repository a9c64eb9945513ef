#pragma once

// Helpers shared by the Windows implementations of this folder only.

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/os_error.hpp"
#include "platform/process.hpp"
#include "platform/utf16.hpp"
#include "support/result.hpp"

namespace quorvane::platform::win32 {

// wchar_t is one UTF-16 code unit on Windows.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline std::wstring to_wide(std::string_view utf8) {
  const std::u16string units = utf8_to_utf16(utf8);
  return std::wstring(units.begin(), units.end());
}

// UTF-16 from the system as UTF-8, an unpaired surrogate becoming U+FFFD.
inline std::string to_utf8(std::wstring_view wide) {
  return utf16_to_utf8(
      std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

// Sharing that lets others read, write, rename and delete an entry while we hold it.
inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The text that a call of the system's "fill this buffer" kind gives: `call(buffer, size)`
// returns the length written without the terminating NUL, or, when `size` is too small, the size
// needed with it, or 0 on failure. The buffer grows until the text fits (it may grow again
// between calls). None when the call gives 0; the last error is then the call's, and it is
// cleared before each call, so that a call that gives 0 for an empty text can be told apart.
template <class Call>
std::optional<std::wstring> grown_text(Call call) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::nullopt;
    const bool fits = length < buffer.size();
    buffer.resize(length);
    if (fits) return buffer;
  }
}

// `a` and `b` ordered as Windows orders names, whatever their case: below 0, 0 when Windows takes
// them for one name, above 0.
int compare_names(std::u16string_view a, std::u16string_view b);

inline int compare_names(std::wstring_view a, std::wstring_view b) {
  return compare_names(std::u16string_view(reinterpret_cast<const char16_t*>(a.data()), a.size()),
                       std::u16string_view(reinterpret_cast<const char16_t*>(b.data()), b.size()));
}

// This process's variable `name`, if set (names match without regard to case).
std::optional<std::wstring> environment_value(const std::wstring& name);

// Whether `handle` is a console: not merely a character device (NUL is one too).
inline bool is_console(HANDLE handle) {
  DWORD mode = 0;
  return ::GetConsoleMode(handle, &mode) != 0;
}

// The house form of the calling thread's last Win32 error.
inline std::string last_error_text() {
  return os_error_text(static_cast<int>(::GetLastError()));
}

// The form of `path` to hand to the system's file calls: absolute and verbatim (\\?\C:\...,
// \\?\UNC\server\share\...), so that no length limit applies. A relative or plain path is made
// absolute with the system's own rules first ("/" and "\" alike, "." and ".." by text, a name of
// a device such as NUL becoming \\.\NUL); a verbatim path gets its "." and ".." resolved by text
// and "/" turned into "\", which the system would take as part of a name; the device form
// \\.\... is passed on as it is. Failure: a NUL in the path, or the system's failure to make it
// absolute.
Result<std::wstring> system_path(const std::filesystem::path& path);

// The verbatim form of `path` with its names as written: "/" and "\" alike, "." and ".." resolved
// by text, and no name trimmed of its trailing dots and spaces or taken for a device (con.rs stays
// a file). For a path that names what a listing gave, which the system must not parse again. A
// relative, drive-relative or rooted path starts from the current directory that the system keeps
// for it. A verbatim or device path is taken as system_path takes it. Failure: a NUL in the path,
// or the system's failure to name the current directory.
Result<std::wstring> verbatim_path(const std::filesystem::path& path);

// Closes a handle at scope end.
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  ~OwnedHandle() { reset(); }
  OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.release()) {}
  OwnedHandle& operator=(OwnedHandle&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = other.release();
    }
    return *this;
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE release() {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }
  void reset() {
    if (valid()) ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// This process's environment changed by `change`, as the block CreateProcessW takes with
// CREATE_UNICODE_ENVIRONMENT (names compared without regard to case, sorted as Windows wants).
std::u16string child_environment(const EnvironmentChange& change);

}  // namespace quorvane::platform::win32
