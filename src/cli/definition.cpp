#include "cli/definition.hpp"

#include <array>
#include <string>

namespace quorvane {
namespace {

constexpr std::string_view kFailOnHelp =
    "Lowest priority that fails check. Findings below this level still print but do not change "
    "the exit code. Default: must";

constexpr ArgumentDefinition kJson{"json", ArgumentForm::Flag, "json", "", "", ""};

constexpr std::array kListArguments{
    ArgumentDefinition{"missing", ArgumentForm::RepeatedOption, "missing", "STAGE", "", ""},
    ArgumentDefinition{"req_type", ArgumentForm::RepeatedOption, "type", "TYPE", "", ""},
    kJson,
};
constexpr std::array kTraceArguments{
    ArgumentDefinition{"id", ArgumentForm::Positional, "", "ID", "", ""},
    kJson,
};
constexpr std::array kCheckArguments{
    kJson,
    ArgumentDefinition{"req_type", ArgumentForm::RepeatedOption, "type", "TYPE", "", ""},
    ArgumentDefinition{"fail_on", ArgumentForm::SingleOption, "fail-on", "LEVEL", kFailOnHelp,
                       "must"},
};
constexpr std::array kChangedSinceArguments{
    kJson,
    ArgumentDefinition{"changed_since", ArgumentForm::SingleOption, "changed-since", "REF", "", "",
                       true},
};

constexpr std::array kSubcommands{
    SubcommandDefinition{"list", kListArguments},
    SubcommandDefinition{"trace", kTraceArguments},
    SubcommandDefinition{"check", kCheckArguments},
    SubcommandDefinition{"lint", kChangedSinceArguments},
    SubcommandDefinition{"review", kChangedSinceArguments},
};

std::string parser_name(const ArgumentDefinition& argument) {
  if (argument.form == ArgumentForm::Positional) return std::string(argument.id);
  return "--" + std::string(argument.long_name);
}

void define_argument(CLI::App& subcommand, const ArgumentDefinition& argument) {
  const std::string name = parser_name(argument);
  CLI::Option* option = nullptr;
  switch (argument.form) {
    case ArgumentForm::Flag:
      option = subcommand.add_flag(name)->multi_option_policy(CLI::MultiOptionPolicy::Throw);
      break;
    case ArgumentForm::RepeatedOption:
      option = subcommand.add_option(name)->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
      break;
    case ArgumentForm::SingleOption:
      option = subcommand.add_option(name)->multi_option_policy(CLI::MultiOptionPolicy::Throw);
      break;
    case ArgumentForm::Positional:
      option = subcommand.add_option(name)->required();
      break;
  }
  // One value per occurrence, taken whole: no delimiter, no bracketed lists.
  option->allow_extra_args(false);
  if (!argument.value_name.empty()) option->type_name(std::string(argument.value_name));
  if (!argument.help.empty()) option->description(std::string(argument.help));
  if (!argument.default_value.empty()) option->default_str(std::string(argument.default_value));
}

}  // namespace

std::span<const SubcommandDefinition> subcommand_definitions() {
  return kSubcommands;
}

std::unique_ptr<CLI::App> cli_command() {
  auto top = std::make_unique<CLI::App>("", std::string(kProgramName));
  // Set before the subcommands exist: they inherit the help flag as it is at their creation.
  top->set_help_flag("-h,--help", "Print help");
  augment_cli_command(*top);
  return top;
}

void augment_cli_command(CLI::App& top) {
  // The top command's own argument group has no members; the parser has no use for it.
  define_subcommands(top);
  top.require_subcommand(1);
  top.set_version_flag("-V,--version", std::string(kVersionText), "Print version");
  top.description(std::string(kAboutText));
}

void define_subcommands(CLI::App& top) {
  for (const SubcommandDefinition& definition : kSubcommands) {
    CLI::App* subcommand = top.add_subcommand(std::string(definition.name));
    for (const ArgumentDefinition& argument : definition.arguments) {
      define_argument(*subcommand, argument);
    }
  }
}

const CLI::Option* find_argument(const CLI::App& subcommand, const ArgumentDefinition& argument) {
  return subcommand.get_option_no_throw(parser_name(argument));
}

bool refuses_empty_value(const CLI::App& subcommand, const CLI::Option& option) {
  for (const SubcommandDefinition& definition : kSubcommands) {
    if (definition.name != subcommand.get_name()) continue;
    for (const ArgumentDefinition& argument : definition.arguments) {
      if (find_argument(subcommand, argument) == &option) return argument.refuses_empty_value;
    }
  }
  return false;
}

}  // namespace quorvane
