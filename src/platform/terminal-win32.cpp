#include "platform/terminal.hpp"
#include "platform/win32_support.hpp"

namespace quorvane::platform {
namespace {

HANDLE handle_of(Stream stream) {
  return ::GetStdHandle(stream == Stream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

}  // namespace

// A console, not merely a character device: NUL is one too, and takes no colour.
bool is_terminal(Stream stream) {
  DWORD mode = 0;
  return ::GetConsoleMode(handle_of(stream), &mode) != 0;
}

bool prepare_for_colour(Stream stream) {
  const HANDLE handle = handle_of(stream);
  DWORD mode = 0;
  if (!::GetConsoleMode(handle, &mode)) return true;
  if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) return true;
  // Not switched back when the run ends: the switch only makes escapes act as escapes.
  return ::SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

std::optional<std::string> environment_variable(const char* name) {
  const std::wstring wide_name = win32::to_wide(name);
  std::wstring value(256, L'\0');
  for (;;) {
    // An empty value also gives 0; only a missing variable sets the error.
    ::SetLastError(ERROR_SUCCESS);
    const DWORD length = ::GetEnvironmentVariableW(wide_name.c_str(), value.data(),
                                                   static_cast<DWORD>(value.size()));
    if (length == 0) {
      if (::GetLastError() != ERROR_SUCCESS) return std::nullopt;
      return std::string();
    }
    if (length < value.size()) {
      value.resize(length);
      return win32::to_utf8(value);
    }
    // Too small: `length` is the size needed, the terminating null included. The variable may
    // grow again before the next call, hence the loop.
    value.resize(length);
  }
}

}  // namespace quorvane::platform
