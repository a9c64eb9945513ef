#include "platform/read_file.hpp"

#include <algorithm>
#include <optional>

#include "platform/read_loop.hpp"
#include "platform/win32_support.hpp"

namespace quorvane::platform {
namespace {

// One ReadFile, of at most what its DWORD count can ask for; the read loop tells a short read
// from the end of the file.
ReadSomeOutcome read_some(HANDLE file, char* into, std::size_t room) {
  const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(room, MAXDWORD));
  DWORD count = 0;
  if (!::ReadFile(file, into, asked, &count, nullptr)) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_HANDLE_EOF) return BytesRead{0};
    return Failure{os_error_text(static_cast<int>(error))};
  }
  return BytesRead{count};
}

}  // namespace

// Windows keeps no FIFOs among its files (its named pipes live outside the folders), so `fifos`
// changes nothing here.
Result<std::size_t> read_whole_file(const NativePath& path, std::string& buffer,
                                    FifoReading fifos) {
  return read_whole_file(std::filesystem::path(path), buffer, fifos);
}

Result<std::size_t> read_whole_file(const std::filesystem::path& path, std::string& buffer,
                                    FifoReading) {
  Result<std::wstring> system = win32::system_path(path);
  if (!system) return std::move(system).take_failure();
  // Others may go on reading, writing, renaming or deleting the file meanwhile; a file that
  // someone holds open without sharing fails here with the system's sharing violation.
  const win32::OwnedHandle file(::CreateFileW(system.value().c_str(), GENERIC_READ,
                                              win32::kShareAll, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) return Failure{win32::last_error_text()};

  const DWORD type = ::GetFileType(file.get());
  if (type == FILE_TYPE_UNKNOWN && ::GetLastError() != NO_ERROR) {
    return Failure{win32::last_error_text()};
  }
  // A device (NUL, CON, COM1) or a pipe is no source file, and some never reach an end.
  if (type != FILE_TYPE_DISK) return Failure{os_error_text(ERROR_NOT_SUPPORTED)};

  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) return Failure{win32::last_error_text()};
  return read_to_end(
      [&file](char* into, std::size_t room) { return read_some(file.get(), into, room); },
      static_cast<std::size_t>(size.QuadPart), buffer);
}

}  // namespace quorvane::platform
