#include "cli/definition.hpp"

#include <array>
#include <string>

namespace quorvane {
namespace {

constexpr std::string_view kFailOnHelp =
    "Lowest priority that fails check. Findings below this level still print but do not change "
    "the exit code. Default: must";
constexpr std::string_view kDefaultFailOn = "must";
static_assert(kFailOnHelp.ends_with(kDefaultFailOn), "the help text names the default");

template <class Command>
CliCommand empty() {
  return Command{};
}

template <class Command, auto field>
void append_to(CliCommand& command, std::string_view value) {
  (std::get<Command>(command).*field).emplace_back(value);
}

template <class Command, auto field>
void set(CliCommand& command, std::string_view value) {
  std::get<Command>(command).*field = std::string(value);
}

void set_json(CliCommand& command, std::string_view) {
  std::visit([](auto& options) { options.json = true; }, command);
}

constexpr ArgumentDefinition kJson{
    .form = ArgumentForm::Flag, .long_name = "json", .store = set_json};

template <class Command>
constexpr ArgumentDefinition kType{.form = ArgumentForm::RepeatedOption,
                                   .long_name = "type",
                                   .value_name = "TYPE",
                                   .store = append_to<Command, &Command::req_type>};

template <class Command>
constexpr ArgumentDefinition kChangedSince{.form = ArgumentForm::SingleOption,
                                           .long_name = "changed-since",
                                           .value_name = "REF",
                                           .refuses_empty_value = true,
                                           .store = set<Command, &Command::changed_since>};

constexpr std::array kListArguments{
    ArgumentDefinition{.form = ArgumentForm::RepeatedOption,
                       .long_name = "missing",
                       .value_name = "STAGE",
                       .store = append_to<ListCommand, &ListCommand::missing>},
    kType<ListCommand>,
    kJson,
};
constexpr std::array kTraceArguments{
    ArgumentDefinition{.form = ArgumentForm::Positional,
                       .value_name = "ID",
                       .store = set<TraceCommand, &TraceCommand::id>},
    kJson,
};
constexpr std::array kCheckArguments{
    kJson,
    kType<CheckCommand>,
    ArgumentDefinition{.form = ArgumentForm::SingleOption,
                       .long_name = "fail-on",
                       .value_name = "LEVEL",
                       .help = kFailOnHelp,
                       .default_value = kDefaultFailOn,
                       .store = set<CheckCommand, &CheckCommand::fail_on>},
};
constexpr std::array kLintArguments{kJson, kChangedSince<LintCommand>};
constexpr std::array kReviewArguments{kJson, kChangedSince<ReviewCommand>};

// In the order of the alternatives of CliCommand.
constexpr std::array kSubcommands{
    SubcommandDefinition{"list", kListArguments, empty<ListCommand>},
    SubcommandDefinition{"trace", kTraceArguments, empty<TraceCommand>},
    SubcommandDefinition{"check", kCheckArguments, empty<CheckCommand>},
    SubcommandDefinition{"lint", kLintArguments, empty<LintCommand>},
    SubcommandDefinition{"review", kReviewArguments, empty<ReviewCommand>},
};

}  // namespace

std::span<const SubcommandDefinition> cli_command() {
  return kSubcommands;
}

}  // namespace quorvane
