// A command line split from the input at NUL bytes, through the parser as the process runs it
// and through the parser proper with colour on: either a command or an exit with status 0 (help
// and version on stdout) or 2 (usage on stderr).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/cli.hpp"
#include "cli/parse_arguments.hpp"
#include "platform/utf8_check.hpp"

namespace {

using namespace quorvane;

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

void check(const CliParse& parse) {
  if (const auto* exit = std::get_if<CliExit>(&parse)) {
    if (exit->status == 0) {
      if (exit->out_text.empty() || !exit->err_text.empty()) fail("status 0 without stdout only");
    } else if (exit->status == 2) {
      if (exit->err_text.empty() || !exit->out_text.empty()) fail("status 2 without stderr only");
    } else {
      fail("exit status other than 0 or 2");
    }
    // Arguments that are not UTF-8 are refused before any of them is echoed.
    if (!platform::is_valid_utf8(exit->out_text) || !platform::is_valid_utf8(exit->err_text)) {
      fail("help or usage text is not valid UTF-8");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> arguments{"quorvane"};
  std::size_t start = 0;
  while (start <= input.size()) {
    const std::size_t nul = input.find('\0', start);
    const std::size_t end = nul == std::string_view::npos ? input.size() : nul;
    arguments.emplace_back(input.substr(start, end - start));
    start = end + 1;
  }
  if (size == 0) arguments.resize(1);

  // With the program path, as the process gives them; the parser proper sees the rest.
  check(cli_parse(arguments));
  check(parse_arguments(std::span(arguments).subspan(1), OutputColours{true, true}));
  return 0;
}
