#pragma once

#include <span>
#include <string_view>

#include "cli/cli.hpp"
#include "cli/version.hpp"

namespace quorvane {

inline constexpr std::string_view kProgramName = "quorvane";
inline constexpr std::string_view kAboutText = "Trace requirements via [stage->REQ-ID] tags";

// The subcommand that follows the defined ones; it prints help pages.
inline constexpr std::string_view kHelpSubcommand = "help";
inline constexpr std::string_view kHelpSubcommandAbout =
    "Print this message or the help of the given subcommand(s)";

enum class ArgumentForm {
  Flag,            // --name, no value, at most once
  RepeatedOption,  // --name VALUE, any number of times, values appended
  SingleOption,    // --name VALUE, at most once
  Positional,      // VALUE, exactly once
};

// Puts one value of an argument into the record of its subcommand; a flag's value is empty.
using StoreValue = void (*)(CliCommand& command, std::string_view value);

struct ArgumentDefinition {
  ArgumentForm form;
  std::string_view long_name = "";   // without the dashes; empty for a positional
  std::string_view value_name = "";  // empty for a flag
  std::string_view help = "";
  std::string_view default_value = "";  // stored when the option is not given; shown in help
  // An empty text given as the value is refused like a missing value: for an option whose value
  // cannot mean anything when empty (a git revision), and which a script fills from a variable
  // that may be empty.
  bool refuses_empty_value = false;
  StoreValue store = nullptr;        // none for the help and version flags, which are requests
  std::string_view short_name = "";  // the help and version flags alone have one

  constexpr bool is_positional() const { return form == ArgumentForm::Positional; }
};

// The flags that the parse answers itself, in place of a run: help on every command, the version
// on the top command alone.
inline constexpr ArgumentDefinition kHelpFlag{
    .form = ArgumentForm::Flag, .long_name = "help", .help = "Print help", .short_name = "h"};
inline constexpr ArgumentDefinition kVersionFlag{
    .form = ArgumentForm::Flag, .long_name = "version", .help = "Print version", .short_name = "V"};

struct SubcommandDefinition {
  std::string_view name;
  // In definition order; the help flag is not among them.
  std::span<const ArgumentDefinition> arguments;
  CliCommand (*empty_command)();  // the subcommand's record before any argument is stored
};

// The subcommands in their order, each with its arguments in definition order: the one
// definition of the command line, which both the parse and the help pages read.
std::span<const SubcommandDefinition> cli_command();

}  // namespace quorvane
