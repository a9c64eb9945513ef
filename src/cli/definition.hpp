#pragma once

#include <memory>
#include <span>
#include <string_view>

#include <CLI/CLI.hpp>

namespace quorvane {

inline constexpr std::string_view kProgramName = "quorvane";
inline constexpr std::string_view kVersionText = "0.1.0";
inline constexpr std::string_view kAboutText = "Trace requirements via [stage->REQ-ID] tags";

enum class ArgumentForm {
  Flag,            // --name, no value, at most once
  RepeatedOption,  // --name VALUE, any number of times, values appended
  SingleOption,    // --name VALUE, at most once
  Positional,      // VALUE, exactly once
};

struct ArgumentDefinition {
  std::string_view id;  // the field of the parsed record it fills
  ArgumentForm form;
  std::string_view long_name;   // without the dashes; empty for a positional
  std::string_view value_name;  // empty for a flag
  std::string_view help;
  std::string_view default_value;  // empty when the option has none
  // An empty text given as the value is refused like a missing value: for an option whose value
  // cannot mean anything when empty (a git revision), and which a script fills from a variable
  // that may be empty.
  bool refuses_empty_value = false;
};

struct SubcommandDefinition {
  std::string_view name;
  std::span<const ArgumentDefinition> arguments;
};

// The five subcommands in their order, each with its arguments in definition order.
std::span<const SubcommandDefinition> subcommand_definitions();

// The parser's definition of the whole command line, made afresh on every call.
std::unique_ptr<CLI::App> cli_command();

// Adds the subcommands, the settings and the version and about texts to the top command.
void augment_cli_command(CLI::App& top);

void define_subcommands(CLI::App& top);

// The parser's option for an argument of a subcommand.
const CLI::Option* find_argument(const CLI::App& subcommand, const ArgumentDefinition& argument);

// Whether `option` of `subcommand` is defined with refuses_empty_value.
bool refuses_empty_value(const CLI::App& subcommand, const CLI::Option& option);

}  // namespace quorvane
