#pragma once

#include <string>
#include <string_view>

#include <CLI/CLI.hpp>

#include "cli/style.hpp"

namespace quorvane {

// The subcommand that the command-line layer adds after the defined ones.
inline constexpr std::string_view kHelpSubcommand = "help";
inline constexpr std::string_view kHelpSubcommandAbout =
    "Print this message or the help of the given subcommand(s)";

// The help pages, laid out from the parser's definition (made by cli_command).
std::string top_help(const CLI::App& top, const Style& style);
std::string subcommand_help(const CLI::App& top, const CLI::App& subcommand, const Style& style);
std::string help_subcommand_help(const CLI::App& top, const Style& style);

// Usage lines without the "Usage:" heading, e.g. "quorvane trace [OPTIONS] <ID>".
Spans top_usage(const CLI::App& top);
Spans subcommand_usage(const CLI::App& top, const CLI::App& subcommand);
Spans help_subcommand_usage(const CLI::App& top);

// "--type <TYPE>", "--json", "<ID>": how an argument is named in help and in error reports.
std::string argument_display(const CLI::Option& option);

}  // namespace quorvane
