#pragma once

#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "cli/cli.hpp"
#include "cli/parse_arguments.hpp"

namespace quorvane::testing {

inline CliParse parse(const std::vector<std::string>& arguments, OutputColours colours = {}) {
  return parse_arguments(arguments, colours);
}

// How a command line is shown in test failures: each argument bracketed.
inline std::string shown_arguments(const std::vector<std::string>& arguments) {
  std::string out;
  for (const std::string& a : arguments) out += "[" + a + "]";
  return out;
}

inline std::string quoted_list(const std::vector<std::string>& values) {
  std::string out = "[";
  for (std::size_t i = 0; i < values.size(); ++i) {
    out += (i == 0 ? "\"" : ", \"") + values[i] + "\"";
  }
  return out + "]";
}

// One line per parsed command, every field shown, so a table row states the whole result.
inline std::string describe(const CliCommand& command) {
  return std::visit(
      [](const auto& c) -> std::string {
        using C = std::decay_t<decltype(c)>;
        const std::string json = c.json ? "true" : "false";
        if constexpr (std::is_same_v<C, ListCommand>) {
          return "list missing=" + quoted_list(c.missing) + " type=" + quoted_list(c.req_type) +
                 " json=" + json;
        } else if constexpr (std::is_same_v<C, TraceCommand>) {
          return "trace id=\"" + c.id + "\" json=" + json;
        } else if constexpr (std::is_same_v<C, CheckCommand>) {
          return "check json=" + json + " type=" + quoted_list(c.req_type) + " fail_on=\"" +
                 c.fail_on + "\"";
        } else {
          const std::string name = std::is_same_v<C, LintCommand> ? "lint" : "review";
          return name + " json=" + json + " changed_since=" +
                 (c.changed_since ? "\"" + *c.changed_since + "\"" : "<absent>");
        }
      },
      command);
}

}  // namespace quorvane::testing
