// The terminal test on Windows.
#include "platform/terminal.hpp"

#include <windows.h>

#include <utility>

#include <gtest/gtest.h>

#include "std_handle-win32.hpp"

namespace quorvane::platform {
namespace {

using testing::StdHandleOverride;

TEST(TerminalTest, FilesPipesAndTheNullDeviceAreNotTerminals) {
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  ASSERT_TRUE(::CreatePipe(&read_end, &write_end, nullptr, 0));
  // A character device that takes no colour: the C runtime's isatty would say yes to it.
  HANDLE null_device = ::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(null_device, INVALID_HANDLE_VALUE);
  for (const HANDLE handle : {write_end, null_device, static_cast<HANDLE>(nullptr)}) {
    for (const auto& [which, stream] :
         {std::pair{STD_OUTPUT_HANDLE, Stream::Out}, std::pair{STD_ERROR_HANDLE, Stream::Err}}) {
      const StdHandleOverride redirected(which, handle);
      EXPECT_FALSE(is_terminal(stream));
      // Forced colour reaches them as bytes; nothing to switch.
      EXPECT_TRUE(prepare_for_colour(stream));
    }
  }
  ::CloseHandle(null_device);
  ::CloseHandle(read_end);
  ::CloseHandle(write_end);
}

TEST(TerminalTest, AConsoleIsATerminal) {
  DWORD mode = 0;
  if (!::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode)) {
    GTEST_SKIP() << "standard output is not a console (run the test program in one, e.g. under "
                    "`script`, to show it)";
  }
  EXPECT_TRUE(is_terminal(Stream::Out));
}

}  // namespace
}  // namespace quorvane::platform
