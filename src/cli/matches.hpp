#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/cli.hpp"
#include "support/result.hpp"

namespace quorvane {

// What one parse yielded for the chosen subcommand, by argument id.
struct SubcommandMatches {
  std::string name;
  // Values of options and positionals in command-line order; an option's default stands in for
  // a missing occurrence; an argument with neither has no entry.
  std::map<std::string, std::vector<std::string>> values;
  // Every flag of the subcommand: whether it was given.
  std::map<std::string, bool> flags;
};

struct CliMatches {
  std::optional<SubcommandMatches> subcommand;
};

// Reads the parser's results after a successful parse of `top` (made by cli_command).
CliMatches matches_from_app(const CLI::App& top);

Result<CliCommand> command_from_matches(const CliMatches& matches);

Result<Cli> cli_from_matches(const CliMatches& matches);

}  // namespace quorvane
