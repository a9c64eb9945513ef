#pragma once

#include <string>

#include "cli/definition.hpp"
#include "cli/style.hpp"

namespace quorvane {

// The help pages, laid out from the definition of cli_command.
std::string top_help(const Style& style);
std::string subcommand_help(const SubcommandDefinition& subcommand, const Style& style);
std::string help_subcommand_help(const Style& style);

// Usage lines without the "Usage:" heading, e.g. "quorvane trace [OPTIONS] <ID>".
Spans top_usage();
Spans subcommand_usage(const SubcommandDefinition& subcommand);
Spans help_subcommand_usage();

// "--type <TYPE>", "--json", "<ID>": how an argument is named in help and in error reports.
std::string argument_display(const ArgumentDefinition& argument);

}  // namespace quorvane
