#include "cli/matches.hpp"

#include <utility>

#include "cli/definition.hpp"

namespace quorvane {
namespace {

Failure missing_argument(std::string_view id) {
  return Failure{"the following required argument was not provided: " + std::string(id)};
}

// Field readers over one subcommand's matches; each reports whether the field had its value.
class FieldReader {
 public:
  explicit FieldReader(const SubcommandMatches& matches) : matches_(matches) {}

  std::vector<std::string> list(const std::string& id) const {
    auto found = matches_.values.find(id);
    return found == matches_.values.end() ? std::vector<std::string>{} : found->second;
  }

  std::optional<std::string> single(const std::string& id) const {
    auto found = matches_.values.find(id);
    if (found == matches_.values.end() || found->second.empty()) return std::nullopt;
    return found->second.front();
  }

  std::optional<bool> flag(const std::string& id) const {
    auto found = matches_.flags.find(id);
    if (found == matches_.flags.end()) return std::nullopt;
    return found->second;
  }

 private:
  const SubcommandMatches& matches_;
};

Result<CliCommand> list_command(const FieldReader& fields) {
  ListCommand command;
  command.missing = fields.list("missing");
  command.req_type = fields.list("req_type");
  const auto json = fields.flag("json");
  if (!json) return missing_argument("json");
  command.json = *json;
  return CliCommand{std::move(command)};
}

Result<CliCommand> trace_command(const FieldReader& fields) {
  TraceCommand command;
  auto id = fields.single("id");
  if (!id) return missing_argument("id");
  command.id = std::move(*id);
  const auto json = fields.flag("json");
  if (!json) return missing_argument("json");
  command.json = *json;
  return CliCommand{std::move(command)};
}

Result<CliCommand> check_command(const FieldReader& fields) {
  CheckCommand command;
  const auto json = fields.flag("json");
  if (!json) return missing_argument("json");
  command.json = *json;
  command.req_type = fields.list("req_type");
  auto fail_on = fields.single("fail_on");
  if (!fail_on) return missing_argument("fail_on");
  command.fail_on = std::move(*fail_on);
  return CliCommand{std::move(command)};
}

template <class Command>
Result<CliCommand> changed_since_command(const FieldReader& fields) {
  Command command;
  const auto json = fields.flag("json");
  if (!json) return missing_argument("json");
  command.json = *json;
  command.changed_since = fields.single("changed_since");
  return CliCommand{std::move(command)};
}

}  // namespace

CliMatches matches_from_app(const CLI::App& top) {
  CliMatches matches;
  const std::vector<CLI::App*> chosen = top.get_subcommands();
  if (chosen.empty()) return matches;
  const CLI::App& subcommand = *chosen.front();
  SubcommandMatches found{.name = subcommand.get_name(), .values = {}, .flags = {}};
  for (const SubcommandDefinition& definition : subcommand_definitions()) {
    if (definition.name != found.name) continue;
    for (const ArgumentDefinition& argument : definition.arguments) {
      const CLI::Option* option = find_argument(subcommand, argument);
      if (option == nullptr) continue;
      const std::string id(argument.id);
      if (argument.form == ArgumentForm::Flag) {
        found.flags[id] = option->count() > 0;
      } else if (option->count() > 0) {
        found.values[id] = option->reduced_results();
      } else if (!option->get_default_str().empty()) {
        found.values[id] = {option->get_default_str()};
      }
    }
  }
  matches.subcommand = std::move(found);
  return matches;
}

Result<CliCommand> command_from_matches(const CliMatches& matches) {
  if (!matches.subcommand) return Failure{"a subcommand is required but one was not provided"};
  const SubcommandMatches& subcommand = *matches.subcommand;
  const FieldReader fields(subcommand);
  if (subcommand.name == "list") return list_command(fields);
  if (subcommand.name == "trace") return trace_command(fields);
  if (subcommand.name == "check") return check_command(fields);
  if (subcommand.name == "lint") return changed_since_command<LintCommand>(fields);
  if (subcommand.name == "review") return changed_since_command<ReviewCommand>(fields);
  return Failure{"the subcommand '" + subcommand.name + "' wasn't recognized"};
}

Result<Cli> cli_from_matches(const CliMatches& matches) {
  Result<CliCommand> command = command_from_matches(matches);
  if (!command) return std::move(command).take_failure();
  return Cli{std::move(command).value()};
}

}  // namespace quorvane
