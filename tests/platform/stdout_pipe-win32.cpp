#include "stdout_pipe.hpp"

#include <windows.h>

#include <thread>

#include "platform/output.hpp"
#include "std_handle-win32.hpp"

namespace quorvane::platform::testing {

// The test's own standard output handle points into the pipe while write_stdout runs; the
// reader runs on a thread of its own.
Ending write_through_pipe(std::string_view text, std::optional<std::string_view> tail,
                          Reader reader, Mode mode) {
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  if (!::CreatePipe(&read_end, &write_end, nullptr, 0)) return {};
  if (mode == Mode::NonBlocking) {
    DWORD pipe_mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;
    if (!::SetNamedPipeHandleState(write_end, &pipe_mode, nullptr, nullptr)) {
      ::CloseHandle(read_end);
      ::CloseHandle(write_end);
      return {};
    }
  }
  Ending ending;
  std::thread reading([&] {
    // The pipe fills long before the reader starts.
    ::Sleep(100);
    char buffer[65536];
    for (;;) {
      const DWORD wanted = reader == Reader::LeavesAfterOneByte ? 1 : sizeof buffer;
      DWORD count = 0;
      if (!::ReadFile(read_end, buffer, wanted, &count, nullptr)) break;
      // An empty write at the other end reads as nothing; the end of input is a failed read.
      if (count == 0) continue;
      ending.received.append(buffer, count);
      if (reader == Reader::LeavesAfterOneByte) break;
    }
    ::CloseHandle(read_end);
  });
  WriteResult result;
  {
    const StdHandleOverride redirected(STD_OUTPUT_HANDLE, write_end);
    result = tail ? write_stdout(text, *tail) : write_stdout(text);
  }
  // The reader's end of input.
  ::CloseHandle(write_end);
  reading.join();
  if (std::holds_alternative<WriteDone>(result)) {
    ending.outcome = Outcome::Done;
  } else if (std::holds_alternative<WriteReaderGone>(result)) {
    ending.outcome = Outcome::ReaderGone;
  } else {
    ending.outcome = Outcome::Failed;
  }
  return ending;
}

}  // namespace quorvane::platform::testing
