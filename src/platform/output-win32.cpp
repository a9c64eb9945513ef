#include "platform/output.hpp"
#include "platform/utf8_slices.hpp"
#include "platform/win32_support.hpp"

#include <algorithm>
#include <string>

namespace quorvane::platform {
namespace {

// The largest piece handed to one WriteFile: its count is a DWORD.
constexpr std::size_t kMaxFileWrite = std::size_t{1} << 30;
// The UTF-8 bytes converted for one WriteConsoleW: older consoles refuse very long writes.
constexpr std::size_t kConsoleSliceBytes = 16 * 1024;

// Files and pipes take the bytes as they are: no code page, no line-break translation.
// ERROR_SUCCESS when all of `text` went out, else the Win32 error that stopped it.
DWORD write_file_all(HANDLE handle, std::string_view text) {
  std::size_t offer = kMaxFileWrite;
  while (!text.empty()) {
    const auto chunk = static_cast<DWORD>(std::min(text.size(), offer));
    DWORD written = 0;
    if (!::WriteFile(handle, text.data(), chunk, &written, nullptr)) return ::GetLastError();
    if (written == 0) {
      // A non-blocking pipe (one inherited from the parent) without room for the piece: wait for
      // its reader, and offer less, since such a pipe may take nothing until all of it fits.
      offer = std::max<std::size_t>(chunk / 2, 1);
      ::Sleep(1);
      continue;
    }
    text.remove_prefix(written);
    offer = std::min(offer * 2, kMaxFileWrite);
  }
  return ERROR_SUCCESS;
}

DWORD write_console_units(HANDLE handle, std::u16string_view units) {
  while (!units.empty()) {
    DWORD written = 0;
    if (!::WriteConsoleW(handle, units.data(), static_cast<DWORD>(units.size()), &written,
                         nullptr)) {
      return ::GetLastError();
    }
    if (written == 0) return ERROR_WRITE_FAULT;  // a console that takes nothing never will
    units.remove_prefix(std::min<std::size_t>(written, units.size()));
  }
  return ERROR_SUCCESS;
}

// A console shows UTF-16 text, whatever its code page: the UTF-8 is converted slice by slice,
// each slice ending between characters. A character cut short at the very end is shown as the
// replacement character.
DWORD write_console_all(HANDLE handle, std::string_view text) {
  while (!text.empty()) {
    std::size_t length = whole_characters_length(text, kConsoleSliceBytes);
    if (length == 0) length = std::min(text.size(), kConsoleSliceBytes);
    if (const DWORD error = write_console_units(handle, utf8_to_utf16(text.substr(0, length)))) {
      return error;
    }
    text.remove_prefix(length);
  }
  return ERROR_SUCCESS;
}

bool is_continuation_byte(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// `text` then `tail` on a console, a character split between the two shown whole.
DWORD write_console_all(HANDLE handle, std::string_view text, std::string_view tail) {
  const std::size_t whole = whole_characters_length(text, text.size());
  if (const DWORD error = write_console_all(handle, text.substr(0, whole))) return error;
  if (whole < text.size()) {
    std::string joined(text.substr(whole));
    std::size_t taken = 0;
    while (taken < tail.size() && taken < 3 && is_continuation_byte(tail[taken])) ++taken;
    joined.append(tail.substr(0, taken));
    tail.remove_prefix(taken);
    if (const DWORD error = write_console_all(handle, joined)) return error;
  }
  return write_console_all(handle, tail);
}

// ERROR_SUCCESS when `text` and then `tail` reached the stream, else the error that stopped them.
DWORD write_stream(DWORD which, std::string_view text, std::string_view tail) {
  const HANDLE handle = ::GetStdHandle(which);
  // No stream at all: the parent closed it or never gave one.
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
  if (win32::is_console(handle)) return write_console_all(handle, text, tail);
  // Two writes: a file or pipe has no gathering write for ordinary handles.
  if (const DWORD error = write_file_all(handle, text)) return error;
  return write_file_all(handle, tail);
}

WriteResult result_of(DWORD error) {
  if (error == ERROR_SUCCESS) return WriteDone{};
  // The reader closed its end of the pipe, before or during the write. Some pipes (named pipes,
  // and wine's for a Unix pipe) say so as "not connected".
  if (error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED) {
    return WriteReaderGone{};
  }
  return WriteFailed{os_error_text(static_cast<int>(error))};
}

}  // namespace

void ignore_broken_pipe_signal() {}

WriteResult write_stdout(std::string_view text) {
  return result_of(write_stream(STD_OUTPUT_HANDLE, text, {}));
}
WriteResult write_stdout(std::string_view text, std::string_view tail) {
  return result_of(write_stream(STD_OUTPUT_HANDLE, text, tail));
}
void write_stderr(std::string_view text) {
  (void)write_stream(STD_ERROR_HANDLE, text, {});
}

}  // namespace quorvane::platform
