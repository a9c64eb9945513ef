#include <windows.h>

#include <cwchar>

#include "helpers/environment.hpp"
#include "platform/win32_support.hpp"

namespace quorvane::testing {
namespace {

using platform::win32::to_utf8;
using platform::win32::to_wide;

// The system's own table: the C runtime keeps a copy of its own that it does not hand on.
void set_variable(const std::string& name, const std::optional<std::string>& value) {
  ::SetEnvironmentVariableW(to_wide(name).c_str(), value ? to_wide(*value).c_str() : nullptr);
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
  const std::optional<std::wstring> value = platform::win32::environment_value(to_wide(name));
  if (!value) return std::nullopt;
  return to_utf8(*value);
}

std::vector<std::string> own_environment() {
  std::vector<std::string> entries;
  wchar_t* const strings = ::GetEnvironmentStringsW();
  if (strings == nullptr) return entries;
  for (const wchar_t* entry = strings; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
    entries.push_back(to_utf8(entry));
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
