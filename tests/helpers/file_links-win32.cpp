#include <windows.h>

#include <chrono>
#include <functional>
#include <string_view>
#include <thread>

#include "helpers/file_links.hpp"
#include "helpers/windows_fixtures.hpp"
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

// Waits until `done` holds, for at most five seconds.
bool wait_for(const std::function<bool()>& done) {
  for (int i = 0; i < 500; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

// Wine's CreateSymbolicLinkW reports success and creates nothing, so under wine the links are
// made in the Unix view of the folder instead.

void append_quoted(std::wstring& line, std::string_view argument) {
  line += L" \"";
  line += platform::path_from_utf8(argument).native();
  line += L'"';
}

// Runs `command` (a Unix program and its arguments) as wine can: it starts the program but hands
// back no handle that waits for it, so the caller looks for the program's effect itself.
bool start_unix_program(std::wstring command) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return false;
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return true;
}

// `ln -s` run as a Unix program.
std::optional<std::string> make_unix_link(const fs::path& target, const fs::path& link) {
  const std::optional<std::string> folder = wine_unix_name(link.parent_path());
  if (!folder) return "wine cannot name the link's folder in its Unix view";
  std::string target_text;
  if (target.is_absolute()) {
    const std::optional<std::string> absolute = wine_unix_name(target);
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
  if (!start_unix_program(std::move(line))) {
    return "wine cannot start /bin/ln to make a Unix symbolic link";
  }
  if (!wait_for([&] { return shows_as_link(link); })) {
    return "the Unix symbolic link made for the test did not show as a reparse point under wine";
  }
  return std::nullopt;
}

void remove_unix_link(const fs::path& link) {
  const std::optional<std::string> folder = wine_unix_name(link.parent_path());
  if (!folder) return;
  std::wstring line = L"/bin/rm -f --";
  append_quoted(line, *folder + "/" + platform::path_bytes(link.filename()));
  if (!start_unix_program(std::move(line))) return;
  wait_for([&] { return ::GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES; });
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

FileLinks::~FileLinks() {
  for (const fs::path& link : unix_links_) remove_unix_link(link);
}

std::optional<std::string> FileLinks::to_directory(const fs::path& target, const fs::path& link) {
  if (::CreateSymbolicLinkW(link.c_str(), link_target(target).c_str(),
                            SYMBOLIC_LINK_FLAG_DIRECTORY | kAllowUnprivilegedCreate) &&
      shows_as_link(link)) {
    return std::nullopt;
  }
  if (wine_unix_name_of() != nullptr) {
    unix_links_.push_back(link);
    return make_unix_link(target, link);
  }
  return std::string(kNoPrivilege);
}

std::optional<std::string> FileLinks::to_file(const fs::path& target, const fs::path& link) {
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
