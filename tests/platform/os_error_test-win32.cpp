#include "platform/os_error.hpp"

#include <windows.h>

#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/win32_support.hpp"

namespace quorvane::platform {
namespace {

// The system's own message for `code`, taken here with the same call the program makes.
std::string format_message(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer, length);
  ::LocalFree(buffer);
  return win32::to_utf8(text);
}

TEST(OsErrorTextOnWindows, IsTheSystemMessageTrimmedWithTheCode) {
  for (const DWORD code :
       {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION,
        ERROR_NOT_SUPPORTED, ERROR_INVALID_NAME, ERROR_DIRECTORY, ERROR_MORE_DATA}) {
    SCOPED_TRACE(code);
    std::string message = format_message(code);
    ASSERT_FALSE(message.empty());
    // The system's text ends its line; the program's does not.
    ASSERT_TRUE(message.ends_with("\r\n") || message.ends_with("\n")) << message;
    while (!message.empty() &&
           std::string_view(" \t\r\n").find(message.back()) != std::string::npos) {
      message.pop_back();
    }
    const std::string text = os_error_text(static_cast<int>(code));
    EXPECT_EQ(text, message + " (os error " + std::to_string(code) + ")");
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
  }
}

TEST(OsErrorTextOnWindows, ACodeWithoutAMessageStillNamesTheCode) {
  EXPECT_EQ(os_error_text(0x3FFFFFFF), "Unknown error (os error 1073741823)");
}

}  // namespace
}  // namespace quorvane::platform
