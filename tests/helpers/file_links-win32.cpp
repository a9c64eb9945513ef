#include <windows.h>

#include <chrono>
#include <string_view>
#include <thread>

#include "helpers/file_links.hpp"
#include "platform/paths.hpp"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

// Not in every SDK's headers: lets a user without the privilege create links in developer mode.
constexpr DWORD kAllowUnprivilegedCreate = 0x2;

constexpr std::string_view kNoPrivilege =
    "this Windows lets the test create no symbolic links (neither developer mode nor the "
    "privilege to create them)";

bool shows_as_link(const fs::path& link) {
  const DWORD attributes = ::GetFileAttributesW(link.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Wine's own export; Windows has none. Wine's CreateSymbolicLinkW reports success and creates
// nothing, so the links are made in the Unix view of the folder instead.
using UnixNameOf = char*(CDECL*)(const WCHAR*);

UnixNameOf wine_unix_name_of() {
  const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
  if (kernel32 == nullptr) return nullptr;
  return reinterpret_cast<UnixNameOf>(
      reinterpret_cast<void*>(::GetProcAddress(kernel32, "wine_get_unix_file_name")));
}

std::optional<std::string> unix_name(UnixNameOf unix_name_of, const fs::path& path) {
  char* name = unix_name_of(path.c_str());
  if (name == nullptr) return std::nullopt;
  std::string text(name);
  ::HeapFree(::GetProcessHeap(), 0, name);
  return text;
}

void append_quoted(std::wstring& line, std::string_view argument) {
  line += L" \"";
  line += platform::path_from_utf8(argument).native();
  line += L'"';
}

// `ln -s` run as a Unix program, which wine can start (its output goes nowhere).
std::optional<std::string> make_unix_link(UnixNameOf unix_name_of, const fs::path& target,
                                          const fs::path& link) {
  const std::optional<std::string> folder = unix_name(unix_name_of, link.parent_path());
  if (!folder) return "wine cannot name the link's folder in its Unix view";
  std::string target_text;
  if (target.is_absolute()) {
    const std::optional<std::string> absolute = unix_name(unix_name_of, target);
    if (!absolute) return "wine cannot name the link's target in its Unix view";
    target_text = *absolute;
  } else {
    target_text = platform::path_bytes(target);
    for (char& c : target_text) {
      if (c == '\\') c = '/';
    }
  }
  std::wstring line = L"/bin/ln -s --";
  append_quoted(line, target_text);
  append_quoted(line, *folder + "/" + platform::path_bytes(link.filename()));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return "wine cannot start /bin/ln to make a Unix symbolic link";
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  // Wine hands the Unix program over without a handle that waits for it: look for the link.
  for (int i = 0; i < 500; ++i) {
    if (shows_as_link(link)) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return "the Unix symbolic link made for the test did not show as a reparse point under wine";
}

// The target as Windows stores it in a link, with its own separator.
std::wstring link_target(const fs::path& target) {
  std::wstring text = target.native();
  for (wchar_t& c : text) {
    if (c == L'/') c = L'\\';
  }
  return text;
}

}  // namespace

std::optional<std::string> make_directory_link(const fs::path& target, const fs::path& link) {
  if (::CreateSymbolicLinkW(link.c_str(), link_target(target).c_str(),
                            SYMBOLIC_LINK_FLAG_DIRECTORY | kAllowUnprivilegedCreate) &&
      shows_as_link(link)) {
    return std::nullopt;
  }
  if (const UnixNameOf unix_name_of = wine_unix_name_of()) {
    return make_unix_link(unix_name_of, target, link);
  }
  return std::string(kNoPrivilege);
}

std::optional<std::string> make_file_link(const fs::path& target, const fs::path& link) {
  if (::CreateSymbolicLinkW(link.c_str(), link_target(target).c_str(), kAllowUnprivilegedCreate) &&
      shows_as_link(link)) {
    return std::nullopt;
  }
  if (wine_unix_name_of() != nullptr) {
    return "wine shows a Unix symbolic link to a file as the file itself, and a dangling one not "
           "at all, and creates no Windows symbolic links";
  }
  return std::string(kNoPrivilege);
}

}  // namespace quorvane::testing
