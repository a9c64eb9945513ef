#pragma once

#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "support/result.hpp"

namespace quorvane {

struct ListCommand {
  std::vector<std::string> missing;
  std::vector<std::string> req_type;
  bool json = false;
};
struct TraceCommand {
  std::string id;
  bool json = false;
};
struct CheckCommand {
  bool json = false;
  std::vector<std::string> req_type;
  std::string fail_on;  // the parse gives the definition's default when the option is absent
};
struct LintCommand {
  bool json = false;
  std::optional<std::string> changed_since;
};
struct ReviewCommand {
  bool json = false;
  std::optional<std::string> changed_since;
};

using CliCommand =
    std::variant<ListCommand, TraceCommand, CheckCommand, LintCommand, ReviewCommand>;

struct Cli {
  CliCommand command;
};

// What the parser asks of the process when the command line does not lead to a run:
// help or version (stdout, status 0), usage errors and the bare command (stderr, status 2).
struct CliExit {
  int status;
  std::string out_text;
  std::string err_text;
};

using CliParse = std::variant<Cli, CliExit>;

// Parses the process's arguments (the first is the program path and is not matched). Colour follows
// the terminal test and the CLICOLOR/NO_COLOR/CLICOLOR_FORCE/TERM/CI rules.
CliParse cli_parse(std::span<const std::string> arguments);

}  // namespace quorvane
