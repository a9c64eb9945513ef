#include <windows.h>

#include <cwchar>

#include "helpers/environment.hpp"
#include "platform/utf16.hpp"

namespace quorvane::testing {
namespace {

std::wstring wide(std::string_view utf8) {
  const std::u16string units = platform::utf8_to_utf16(utf8);
  return std::wstring(units.begin(), units.end());
}

std::string utf8(std::wstring_view text) {
  return platform::utf16_to_utf8(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

// The system's own table: the C runtime keeps a copy of its own that it does not hand on.
void set_variable(const std::string& name, const std::optional<std::string>& value) {
  ::SetEnvironmentVariableW(wide(name).c_str(), value ? wide(*value).c_str() : nullptr);
}

}  // namespace

ScopedVariable::ScopedVariable(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)), old_(own_variable(name_)) {
  set_variable(name_, value);
}

ScopedVariable::~ScopedVariable() {
  set_variable(name_, old_);
}

std::optional<std::string> own_variable(const std::string& name) {
  const std::wstring wide_name = wide(name);
  std::wstring value(256, L'\0');
  for (;;) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD length = ::GetEnvironmentVariableW(wide_name.c_str(), value.data(),
                                                   static_cast<DWORD>(value.size()));
    if (length == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    if (length < value.size()) {
      value.resize(length);
      return utf8(value);
    }
    value.resize(length);
  }
}

std::vector<std::string> own_environment() {
  std::vector<std::string> entries;
  wchar_t* const strings = ::GetEnvironmentStringsW();
  if (strings == nullptr) return entries;
  for (const wchar_t* entry = strings; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
    entries.push_back(utf8(entry));
  }
  ::FreeEnvironmentStringsW(strings);
  return entries;
}

std::filesystem::path running_program() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return std::filesystem::path(path);
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace quorvane::testing
