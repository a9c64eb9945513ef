#include "helpers/command_line-win32.hpp"
#include "helpers/temp_project.hpp"
#include "helpers/windows_fixtures.hpp"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <random>
#include <stdexcept>
#include <thread>

#include "platform/os_error.hpp"
#include "platform/paths.hpp"
#include "platform/utf16.hpp"
#include "platform/win32_process_rules.hpp"
#include "platform/win32_support.hpp"

namespace quorvane::testing {
namespace {

using Handle = platform::win32::OwnedHandle;

// Removes `path` (verbatim) and everything below it, whatever the names (a trailing dot or space,
// a device name). Links (symbolic links, junctions) are removed themselves and never followed, so
// a test's link to a folder outside cannot empty that folder; read-only entries are made writable
// first.
void remove_tree(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    ::DeleteFileW(path.c_str());
    return;
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    WIN32_FIND_DATAW entry;
    const HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring_view name = entry.cFileName;
        if (name != L"." && name != L"..") remove_tree(path + L"\\" + entry.cFileName);
      } while (::FindNextFileW(find, &entry));
      ::FindClose(find);
    }
  }
  ::RemoveDirectoryW(path.c_str());
}

// The test's own environment with `changes` applied, by the rules the program itself uses.
std::wstring environment_block(const std::map<std::string, std::optional<std::string>>& changes) {
  platform::EnvironmentChange change;
  for (const auto& [name, value] : changes) {
    if (value) {
      change.set.emplace_back(name, *value);
    } else {
      change.remove.push_back(name);
    }
  }
  const std::u16string block = platform::win32::child_environment(change);
  return std::wstring(block.begin(), block.end());
}

void make_inheritable(HANDLE handle) {
  if (!::SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) {
    throw windows_failure("SetHandleInformation failed");
  }
}

// A pipe whose write end the child inherits.
struct Pipe {
  Handle read;
  Handle write;
};

Pipe child_writes_pipe() {
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  if (!::CreatePipe(&read, &write, nullptr, 0)) throw windows_failure("CreatePipe failed");
  Pipe pipe{Handle(read), Handle(write)};
  make_inheritable(pipe.write.get());
  return pipe;
}

// The server end of a named pipe whose client connected and closed its end, and which the
// server then disconnected: writes to it fail with ERROR_PIPE_NOT_CONNECTED. Inheritable.
Handle disconnected_pipe() {
  std::random_device random;
  const std::wstring name = L"\\\\.\\pipe\\quorvane-test-" +
                            std::to_wstring(::GetCurrentProcessId()) + L"-" +
                            std::to_wstring(random());
  Handle server(::CreateNamedPipeW(
      name.c_str(), PIPE_ACCESS_OUTBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE,
      PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 4096, 4096, 0, nullptr));
  if (!server.valid()) throw windows_failure("CreateNamedPipeW failed");
  Handle client(::CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!client.valid()) throw windows_failure("cannot connect to the named pipe");
  client.reset();
  if (!::DisconnectNamedPipe(server.get())) throw windows_failure("DisconnectNamedPipe failed");
  make_inheritable(server.get());
  return server;
}

// Sets `pipe` up for where the child's stream goes and returns the child's handle for it (none
// for a closed stream); `pipe.read` is left empty unless the stream is captured.
HANDLE child_output(OutputTarget target, Pipe& pipe) {
  switch (target) {
    case OutputTarget::Captured:
      pipe = child_writes_pipe();
      return pipe.write.get();
    case OutputTarget::Closed:
      return nullptr;
    case OutputTarget::PipeWithoutReader:
      pipe = child_writes_pipe();
      pipe.read.reset();
      return pipe.write.get();
    case OutputTarget::DisconnectedPipe:
      pipe = Pipe{Handle(), disconnected_pipe()};
      return pipe.write.get();
    case OutputTarget::FullDevice:
      break;
  }
  throw std::runtime_error(*unavailable_reason(target));
}

void drain(HANDLE handle, std::string& sink) {
  char buffer[65536];
  DWORD count = 0;
  while (::ReadFile(handle, buffer, sizeof buffer, &count, nullptr) && count > 0) {
    sink.append(buffer, count);
  }
}

// The application to start: a path is made absolute here (a test names files in POSIX form,
// "/work/...", which only the test's own current drive resolves); a bare name is left to
// CreateProcessW's own search of PATH.
std::optional<std::wstring> application_name(const std::string& program) {
  if (program.find_first_of("/\\") == std::string::npos) return std::nullopt;
  return std::filesystem::absolute(platform::path_from_utf8(program)).native();
}

}  // namespace

TempProject::TempProject() {
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate =
        base / (L"quorvane-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(random()));
    if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
      path_ = candidate;
      return;
    }
    if (::GetLastError() != ERROR_ALREADY_EXISTS) throw windows_failure("CreateDirectoryW failed");
  }
  throw std::runtime_error("no unused name for a temp folder");
}

TempProject::~TempProject() {
  remove_tree(verbatim(path_));
}

std::optional<std::string> unavailable_reason(OutputTarget target) {
  if (target == OutputTarget::FullDevice) {
    return "Windows has no device on which every write fails as /dev/full";
  }
  return std::nullopt;
}

ProcessResult run_process(const std::string& program, const std::vector<std::string>& args,
                          const RunOptions& options) {
  std::u16string quoted;
  for (const std::string& arg : args) {
    if (!quoted.empty()) quoted += u' ';
    platform::win32::append_quoted_argument(quoted, platform::utf8_to_utf16(arg));
  }
  return run_command_line(program, std::wstring(quoted.begin(), quoted.end()), options);
}

ProcessResult run_command_line(const std::string& program, std::wstring command_line,
                               const RunOptions& options) {
  const std::optional<std::wstring> application = application_name(program);
  std::wstring environment = environment_block(options.env);
  std::wstring cwd;
  if (!options.cwd.empty()) cwd = std::filesystem::absolute(options.cwd).native();

  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  Handle input(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                             OPEN_EXISTING, 0, nullptr));
  if (!input.valid()) throw windows_failure("cannot open NUL");
  Pipe out_pipe, err_pipe;
  const HANDLE out = child_output(options.stdout_target, out_pipe);
  const HANDLE err = child_output(options.stderr_target, err_pipe);

  // Only the child's own three handles are inherited, whatever else the test holds open.
  std::vector<HANDLE> inherited{input.get()};
  for (const HANDLE handle : {out, err}) {
    if (handle != nullptr) inherited.push_back(handle);
  }
  SIZE_T attribute_size = 0;
  ::InitializeProcThreadAttributeList(nullptr, 1, 0, &attribute_size);
  std::vector<char> attribute_storage(attribute_size);
  const auto attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attribute_storage.data());
  if (!::InitializeProcThreadAttributeList(attributes, 1, 0, &attribute_size)) {
    throw windows_failure("InitializeProcThreadAttributeList failed");
  }
  if (!::UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST,
                                   inherited.data(), inherited.size() * sizeof(HANDLE), nullptr,
                                   nullptr)) {
    ::DeleteProcThreadAttributeList(attributes);
    throw windows_failure("UpdateProcThreadAttribute failed");
  }

  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = input.get();
  startup.StartupInfo.hStdOutput = out;
  startup.StartupInfo.hStdError = err;
  startup.lpAttributeList = attributes;
  PROCESS_INFORMATION info{};
  const BOOL started = ::CreateProcessW(
      application ? application->c_str() : nullptr, command_line.data(), nullptr, nullptr, TRUE,
      CREATE_UNICODE_ENVIRONMENT | EXTENDED_STARTUPINFO_PRESENT, environment.data(),
      cwd.empty() ? nullptr : cwd.c_str(), &startup.StartupInfo, &info);
  const DWORD start_error = ::GetLastError();
  ::DeleteProcThreadAttributeList(attributes);
  // The child holds its own copies now; the pipes end when it (and whatever it started) does.
  input.reset();
  out_pipe.write.reset();
  err_pipe.write.reset();
  if (!started) {
    // As a POSIX child whose exec failed.
    return ProcessResult{127, "",
                         "cannot start " + program + ": " +
                             platform::os_error_text(static_cast<int>(start_error)) + "\n"};
  }
  Handle process(info.hProcess);
  Handle thread(info.hThread);

  // One thread per pipe, so that neither can fill up and stall the child.
  ProcessResult result;
  std::thread err_reader;
  if (err_pipe.read.valid()) {
    err_reader = std::thread([&] { drain(err_pipe.read.get(), result.err); });
  }
  if (out_pipe.read.valid()) drain(out_pipe.read.get(), result.out);
  if (err_reader.joinable()) err_reader.join();
  ::WaitForSingleObject(process.get(), INFINITE);
  DWORD exit_code = 0;
  ::GetExitCodeProcess(process.get(), &exit_code);
  result.status = static_cast<int>(exit_code);
  return result;
}

}  // namespace quorvane::testing
