#pragma once

#include <span>
#include <string>
#include <variant>

#include "cli/cli.hpp"
#include "cli/definition.hpp"
#include "cli/usage_error.hpp"

namespace quorvane {

// A request for a help page: the top command's, a subcommand's, or that of `help` itself.
struct HelpRequest {
  enum class Page { Top, Subcommand, HelpSubcommand };
  Page page = Page::Top;
  const SubcommandDefinition* subcommand = nullptr;  // for Page::Subcommand
};

struct VersionRequest {};

// The command line held no argument at all.
struct BareCommand {};

using WalkOutcome = std::variant<Cli, HelpRequest, VersionRequest, BareCommand, UsageError>;

// Walks the arguments (without the program path) against the definition of cli_command and
// stores each value where the definition says. Names match in full and exactly; an option value
// is its "=" part or the next argument unless that looks like an option, and an empty one counts
// as missing where the definition refuses it; flags take no value; options defined for at most
// one occurrence reject a second; an option not given gets its default; every argument must be
// valid UTF-8.
WalkOutcome walk_arguments(std::span<const std::string> arguments);

}  // namespace quorvane
