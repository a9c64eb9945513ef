#include "platform/arguments.hpp"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/utf16.hpp"

namespace quorvane::platform {

// argv holds the command line in the ANSI code page, which loses what it cannot show; the
// UTF-16 command line holds what the user typed.
std::vector<std::string> program_arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  arguments.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    arguments.push_back(
        utf16_to_utf8_keeping_surrogates(reinterpret_cast<const char16_t*>(wide[i])));
  }
  ::LocalFree(wide);
  return arguments;
}

}  // namespace quorvane::platform
