#include "platform/process.hpp"

#include <array>
#include <optional>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include <fmt/format.h>

#include "platform/win32_process_rules.hpp"
#include "platform/win32_support.hpp"

namespace quorvane::platform {
namespace {

using win32::OwnedHandle;

const wchar_t* wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}
wchar_t* wide(std::u16string& text) {
  return reinterpret_cast<wchar_t*>(text.data());
}

std::u16string from_wide(const wchar_t* text, std::size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

// A variable of this process; empty when it is not set.
std::u16string variable(const wchar_t* name) {
  const std::wstring value = win32::environment_value(name).value_or(std::wstring());
  return from_wide(value.data(), value.size());
}

bool is_file(const std::u16string& path) {
  const DWORD attributes = ::GetFileAttributesW(wide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The file to start for `program`, or the Win32 error that says why there is none. A path is
// taken as given (CreateProcessW reports what is wrong with it); a name is looked up on this
// process's PATH, and nowhere else: CreateProcessW is always given the file itself, so that its
// own search, which begins in the current folder, never runs.
std::variant<std::u16string, DWORD> program_file(const std::string& program) {
  const std::u16string name = utf8_to_utf16(program);
  if (win32::names_a_path(name)) return name;
  for (std::u16string& candidate :
       win32::path_candidates(name, variable(L"PATH"), variable(L"PATHEXT"))) {
    if (is_file(candidate)) return std::move(candidate);
  }
  return DWORD{ERROR_FILE_NOT_FOUND};
}

struct OutputPipe {
  OwnedHandle read_end;   // this process's: overlapped, not inheritable
  OwnedHandle write_end;  // the child's: synchronous, inheritable
};

// Anonymous pipes cannot be read overlapped, so each stream gets a named pipe of its own, under
// a name no other pipe has (the first instance of a name fails when the name is taken).
DWORD open_output_pipe(OutputPipe& pipe, int stream) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  LARGE_INTEGER counter{};
  ::QueryPerformanceCounter(&counter);
  DWORD error = ERROR_SUCCESS;
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::u16string name =
        utf8_to_utf16(fmt::format(R"(\\.\pipe\quorvane-{}-{}-{}-{}-{})", ::GetCurrentProcessId(),
                                  ::GetCurrentThreadId(), counter.QuadPart, stream, attempt));
    OwnedHandle read_end(::CreateNamedPipeW(
        wide(name), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0, 65536,
        0, nullptr));
    if (!read_end.valid()) {
      error = ::GetLastError();
      if (error == ERROR_ACCESS_DENIED || error == ERROR_PIPE_BUSY) continue;
      return error;
    }
    OwnedHandle write_end(::CreateFileW(wide(name), GENERIC_WRITE, 0, &inheritable, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!write_end.valid()) return ::GetLastError();
    pipe.read_end = std::move(read_end);
    pipe.write_end = std::move(write_end);
    return ERROR_SUCCESS;
  }
  return error;
}

// The list of the handles the child inherits; no other handle of this process reaches it,
// whatever else is inheritable here.
class InheritedHandles {
 public:
  explicit InheritedHandles(std::array<HANDLE, 3> handles) : handles_(handles) {
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    storage_.resize(size);
    list_ = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
    if (!::InitializeProcThreadAttributeList(list_, 1, 0, &size)) {
      error_ = ::GetLastError();
      list_ = nullptr;
      return;
    }
    if (!::UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                                     sizeof handles_, nullptr, nullptr)) {
      error_ = ::GetLastError();
    }
  }
  ~InheritedHandles() {
    if (list_ != nullptr) ::DeleteProcThreadAttributeList(list_);
  }
  InheritedHandles(const InheritedHandles&) = delete;
  InheritedHandles& operator=(const InheritedHandles&) = delete;

  DWORD error() const { return error_; }
  LPPROC_THREAD_ATTRIBUTE_LIST get() const { return list_; }

 private:
  std::array<HANDLE, 3> handles_;  // the list points into this
  std::vector<char> storage_;
  LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
  DWORD error_ = ERROR_SUCCESS;
};

// One stream of the child, read overlapped, a read always under way until the stream ends.
class StreamReader {
 public:
  StreamReader(HANDLE pipe, std::string& sink) : pipe_(pipe), sink_(sink) {
    event_ = OwnedHandle(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    overlapped_.hEvent = event_.get();
    if (event_.valid())
      start();
    else
      open_ = false;
  }
  // A read still under way writes into this object: it is cancelled, and its end awaited.
  ~StreamReader() {
    if (pending_) {
      ::CancelIoEx(pipe_, &overlapped_);
      DWORD count = 0;
      ::GetOverlappedResult(pipe_, &overlapped_, &count, TRUE);
    }
  }
  StreamReader(const StreamReader&) = delete;
  StreamReader& operator=(const StreamReader&) = delete;

  bool open() const { return open_; }
  HANDLE event() const { return event_.get(); }
  bool done_waiting() const { return ::WaitForSingleObject(event_.get(), 0) == WAIT_OBJECT_0; }

  // Takes what the finished read brought and starts the next one.
  void take() {
    pending_ = false;
    DWORD count = 0;
    if (!::GetOverlappedResult(pipe_, &overlapped_, &count, FALSE)) {
      open_ = false;  // the child closed its end (ERROR_BROKEN_PIPE), or reading failed
      return;
    }
    sink_.append(buffer_.data(), count);
    start();
  }

 private:
  void start() {
    // A read that completes at once sets the event too, and take() collects it like any other.
    if (::ReadFile(pipe_, buffer_.data(), static_cast<DWORD>(buffer_.size()), nullptr,
                   &overlapped_) ||
        ::GetLastError() == ERROR_IO_PENDING) {
      pending_ = true;
    } else {
      open_ = false;
    }
  }

  HANDLE pipe_;
  std::string& sink_;
  OwnedHandle event_;
  OVERLAPPED overlapped_{};
  std::array<char, 65536> buffer_{};
  bool pending_ = false;
  bool open_ = true;
};

// Reads both streams until each ends, taking whatever either brings as it comes, on this thread.
void drain(HANDLE out, HANDLE err, std::string& out_bytes, std::string& err_bytes) {
  StreamReader readers[2] = {{out, out_bytes}, {err, err_bytes}};
  for (;;) {
    std::array<HANDLE, 2> events{};
    DWORD count = 0;
    for (const StreamReader& reader : readers) {
      if (reader.open()) events[count++] = reader.event();
    }
    if (count == 0) return;
    if (::WaitForMultipleObjects(count, events.data(), FALSE, INFINITE) == WAIT_FAILED) {
      return;  // the readers cancel their reads; the caller closes the pipes
    }
    // Every stream whose read has ended, so that a busy one cannot keep the other waiting.
    for (StreamReader& reader : readers) {
      if (reader.open() && reader.done_waiting()) reader.take();
    }
  }
}

int exit_status(HANDLE process) {
  DWORD code = 0;
  if (::WaitForSingleObject(process, INFINITE) != WAIT_OBJECT_0 ||
      !::GetExitCodeProcess(process, &code)) {
    return -1;
  }
  return static_cast<int>(code);
}

ProcessNotStarted not_started(DWORD error) {
  return ProcessNotStarted{os_error_text(static_cast<int>(error))};
}

}  // namespace

ProcessOutcome run_program(const std::string& program, const std::vector<std::string>& arguments,
                           const EnvironmentChange& environment) {
  auto found = program_file(program);
  if (const DWORD* error = std::get_if<DWORD>(&found)) return not_started(*error);
  std::u16string file = std::move(std::get<std::u16string>(found));
  // CreateProcessW would hand a batch file to cmd.exe, whose own parsing no quoting survives.
  if (win32::runs_through_command_interpreter(file)) return not_started(ERROR_BAD_EXE_FORMAT);

  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  OwnedHandle input(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &inheritable, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!input.valid()) return not_started(::GetLastError());
  OutputPipe out_pipe;
  OutputPipe err_pipe;
  for (auto [pipe, stream] : {std::pair{&out_pipe, 1}, std::pair{&err_pipe, 2}}) {
    if (const DWORD error = open_output_pipe(*pipe, stream); error != ERROR_SUCCESS) {
      return not_started(error);
    }
  }
  const InheritedHandles inherited(
      {input.get(), out_pipe.write_end.get(), err_pipe.write_end.get()});
  if (inherited.error() != ERROR_SUCCESS) return not_started(inherited.error());

  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = input.get();
  startup.StartupInfo.hStdOutput = out_pipe.write_end.get();
  startup.StartupInfo.hStdError = err_pipe.write_end.get();
  startup.lpAttributeList = inherited.get();

  std::u16string line = win32::command_line(file, arguments);
  std::u16string block = win32::child_environment(environment);
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(wide(file), wide(line), nullptr, nullptr, TRUE,
                        CREATE_UNICODE_ENVIRONMENT | EXTENDED_STARTUPINFO_PRESENT, wide(block),
                        nullptr, &startup.StartupInfo, &info)) {
    return not_started(::GetLastError());
  }
  const OwnedHandle process(info.hProcess);
  ::CloseHandle(info.hThread);

  // Only the child may hold the write ends, so that its exit ends both streams.
  input.reset();
  out_pipe.write_end.reset();
  err_pipe.write_end.reset();

  std::string stdout_bytes;
  std::string stderr_bytes;
  drain(out_pipe.read_end.get(), err_pipe.read_end.get(), stdout_bytes, stderr_bytes);
  out_pipe.read_end.reset();
  err_pipe.read_end.reset();

  const int status = exit_status(process.get());
  if (status == 0) return ProcessSucceeded{std::move(stdout_bytes)};
  return ProcessFailed{status, std::move(stderr_bytes)};
}

}  // namespace quorvane::platform
