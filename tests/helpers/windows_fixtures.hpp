#pragma once

// Fixtures of the Windows-only tests (files ending in -win32.cpp), which alone include this.

#include <windows.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/win32_support.hpp"

namespace quorvane::testing {

inline std::runtime_error windows_failure(std::string_view what) {
  return std::runtime_error(std::string(what) + ": " + platform::win32::last_error_text());
}

// `path` (absolute) in the verbatim form, so that the fixture is not held to MAX_PATH.
inline std::wstring verbatim(const std::filesystem::path& path) {
  const std::wstring_view prefix = L"\\\\?\\";
  std::wstring text =
      path.native().starts_with(prefix) ? path.native() : std::wstring(prefix) + path.native();
  for (wchar_t& c : text) {
    if (c == L'/') c = L'\\';
  }
  return text;
}

// Wine's own export, which names a Windows path in the Unix view of the file system; Windows has
// none.
using WineUnixNameOf = char*(CDECL*)(const WCHAR*);

inline WineUnixNameOf wine_unix_name_of() {
  const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
  if (kernel32 == nullptr) return nullptr;
  return reinterpret_cast<WineUnixNameOf>(
      reinterpret_cast<void*>(::GetProcAddress(kernel32, "wine_get_unix_file_name")));
}

// `path` in the Unix view of the file system under wine; none on Windows, or when wine cannot
// name it.
inline std::optional<std::string> wine_unix_name(const std::filesystem::path& path) {
  const WineUnixNameOf unix_name_of = wine_unix_name_of();
  if (unix_name_of == nullptr) return std::nullopt;
  char* name = unix_name_of(path.c_str());
  if (name == nullptr) return std::nullopt;
  std::string text(name);
  ::HeapFree(::GetProcessHeap(), 0, name);
  return text;
}

// Restores at scope end the current directory that was there at its start; the second form
// sets `directory` for the scope.
class CurrentDirectoryScope {
 public:
  CurrentDirectoryScope() {
    const DWORD length = ::GetCurrentDirectoryW(0, nullptr);
    saved_.resize(length);
    saved_.resize(::GetCurrentDirectoryW(length, saved_.data()));
  }
  explicit CurrentDirectoryScope(const std::filesystem::path& directory) : CurrentDirectoryScope() {
    if (!::SetCurrentDirectoryW(directory.c_str())) throw windows_failure("SetCurrentDirectoryW");
  }
  ~CurrentDirectoryScope() { ::SetCurrentDirectoryW(saved_.c_str()); }
  CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
  CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

 private:
  std::wstring saved_;
};

// Holds `path` open without sharing, as another program may, while the object lives.
class LockedFile {
 public:
  explicit LockedFile(const std::filesystem::path& path)
      : handle_(::CreateFileW(verbatim(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (handle_ == INVALID_HANDLE_VALUE) throw windows_failure("CreateFileW without sharing");
  }
  ~LockedFile() { ::CloseHandle(handle_); }
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;

 private:
  HANDLE handle_;
};

// Writes `content` to `path` (absolute, of any length), replacing what was there.
inline void write_file(const std::filesystem::path& path, std::string_view content) {
  const HANDLE file = ::CreateFileW(verbatim(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw windows_failure("CreateFileW for writing");
  DWORD written = 0;
  const BOOL ok =
      ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  ::CloseHandle(file);
  if (!ok || written != content.size()) throw windows_failure("WriteFile");
}

// Makes `path` (absolute, of any length) a directory, as CreateDirectoryW does.
inline void make_directory(const std::filesystem::path& path) {
  if (!::CreateDirectoryW(verbatim(path).c_str(), nullptr) &&
      ::GetLastError() != ERROR_ALREADY_EXISTS) {
    throw windows_failure("CreateDirectoryW");
  }
}

// A chain of directories below `base` whose full path is at least `length` characters long;
// gives the deepest.
inline std::filesystem::path make_long_directory(const std::filesystem::path& base,
                                                 std::size_t length) {
  make_directory(base);
  std::filesystem::path path = base;
  while (path.native().size() < length) {
    path /= L"a-rather-long-directory-name-0123456789";
    make_directory(path);
  }
  return path;
}

}  // namespace quorvane::testing
