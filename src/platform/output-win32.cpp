#include "platform/output.hpp"
#include "platform/win32_support.hpp"

namespace quorvane::platform {
namespace {

// Placeholder: plain WriteFile until the console and broken-pipe cases are built.
bool write_all(HANDLE handle, std::string_view text) {
  while (!text.empty()) {
    DWORD written = 0;
    const DWORD chunk = text.size() > 1u << 30 ? 1u << 30 : static_cast<DWORD>(text.size());
    if (!::WriteFile(handle, text.data(), chunk, &written, nullptr)) return false;
    text.remove_prefix(written);
  }
  return true;
}

}  // namespace

void ignore_broken_pipe_signal() {}

WriteResult write_stdout(std::string_view text) {
  if (!write_all(::GetStdHandle(STD_OUTPUT_HANDLE), text))
    return WriteFailed{win32::last_error_text()};
  return WriteDone{};
}
WriteResult write_stdout(std::string_view text, std::string_view tail) {
  const WriteResult first = write_stdout(text);
  if (!std::holds_alternative<WriteDone>(first)) return first;
  return write_stdout(tail);
}
void write_stderr(std::string_view text) {
  (void)write_all(::GetStdHandle(STD_ERROR_HANDLE), text);
}

}  // namespace quorvane::platform
