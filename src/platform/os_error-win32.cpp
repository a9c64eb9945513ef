#include "platform/os_error.hpp"

#include <windows.h>

#include <fmt/format.h>

#include "platform/utf16.hpp"

namespace quorvane::platform {

// `error_number` is a Win32 error code. The text is the system's own message for it, without
// inserts and without the line break it ends with.
std::string os_error_text(int error_number) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(error_number), 0, reinterpret_cast<wchar_t*>(&buffer), 0,
      nullptr);
  std::u16string text;
  if (length > 0 && buffer != nullptr) {
    text.assign(reinterpret_cast<const char16_t*>(buffer), length);
  }
  if (buffer != nullptr) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\t' || text.back() == u'\r' ||
                           text.back() == u'\n')) {
    text.pop_back();
  }
  if (text.empty()) return fmt::format("Unknown error (os error {})", error_number);
  return fmt::format("{} (os error {})", utf16_to_utf8(text), error_number);
}

}  // namespace quorvane::platform
