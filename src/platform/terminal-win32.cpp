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
  return win32::is_console(handle_of(stream));
}

bool prepare_for_colour(Stream stream) {
  const HANDLE handle = handle_of(stream);
  DWORD mode = 0;
  if (!::GetConsoleMode(handle, &mode)) return true;
  if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) return true;
  // Not switched back when the run ends: the switch only makes escapes act as escapes.
  return ::SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

}  // namespace quorvane::platform
