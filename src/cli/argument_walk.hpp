#pragma once

#include <span>
#include <string>
#include <variant>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/usage_error.hpp"

namespace quorvane {

// A request for a help page: the top command's, a subcommand's, or that of `help` itself.
struct HelpRequest {
  enum class Page { Top, Subcommand, HelpSubcommand };
  Page page = Page::Top;
  const CLI::App* subcommand = nullptr;  // for Page::Subcommand
};

struct VersionRequest {};

// The command line held no argument at all.
struct BareCommand {};

// A command line that passed every rule, restated for the parser in one unambiguous form: the
// subcommand, each option occurrence in order as "--name" and its value as its own element, then
// "--" and the positional values.
struct CheckedArguments {
  std::vector<std::string> parser_arguments;
};

using WalkOutcome =
    std::variant<CheckedArguments, HelpRequest, VersionRequest, BareCommand, UsageError>;

// Walks the arguments (without the program path) against the definition `top` (made by
// cli_command). Names match in full and exactly; an option value is its "=" part or the next
// argument unless that looks like an option, and an empty one counts as missing where the
// definition refuses it; flags take no value; options defined for at most one occurrence reject a
// second; every argument must be valid UTF-8.
WalkOutcome walk_arguments(const CLI::App& top, std::span<const std::string> arguments);

}  // namespace quorvane
