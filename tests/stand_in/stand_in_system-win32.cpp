#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cwchar>

#include "platform/win32_support.hpp"
#include "stand_in/stand_in_system.hpp"

namespace quorvane::testing::stand_in {
// Straight to the handles, as bytes: the C runtime's text mode would add a CR before each LF.
bool write_all(Stream stream, std::string_view bytes) {
  const HANDLE handle =
      ::GetStdHandle(stream == Stream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
    if (!::WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// The null device is a character device that is no console; reading it ends at once.
InputReport read_input() {
  InputReport report;
  const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  report.null_device = ::GetFileType(input) == FILE_TYPE_CHAR && !::GetConsoleMode(input, &mode);
  char buffer[4096];
  DWORD count = 0;
  while (::ReadFile(input, buffer, sizeof buffer, &count, nullptr) && count > 0) {
    report.bytes += count;
  }
  return report;
}

bool write_to_handle(const std::string& handle) {
  const auto value = static_cast<std::uintptr_t>(std::strtoull(handle.c_str(), nullptr, 10));
  DWORD written = 0;
  return ::WriteFile(reinterpret_cast<HANDLE>(value), "x", 1, &written, nullptr) && written == 1;
}

}  // namespace quorvane::testing::stand_in

// The arguments as the C runtime splits the UTF-16 command line, the way a program such as git
// receives them.
extern "C" int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(quorvane::platform::win32::to_utf8(argv[i]));
  return quorvane::testing::stand_in::run(arguments);
}
