#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "cli/argument_walk.hpp"
#include "cli/cli.hpp"
#include "cli/colour.hpp"
#include "cli/definition.hpp"
#include "cli/help_text.hpp"
#include "cli/matches.hpp"
#include "cli/parse_arguments.hpp"

namespace quorvane {
namespace {

CliExit usage_exit(const UsageError& error, OutputColours colours) {
  return CliExit{2, "", render_usage_error(error, Style(colours.err))};
}

// A failure that the walk's rules should already have ruled out; still reported the usage way.
CliExit unexpected_failure(const CLI::App& top, std::string message, OutputColours colours) {
  return usage_exit(UsageError{{{Tone::Plain, std::move(message)}}, {}, top_usage(top)}, colours);
}

std::string help_page(const CLI::App& top, const HelpRequest& request, const Style& style) {
  switch (request.page) {
    case HelpRequest::Page::Subcommand:
      return subcommand_help(top, *request.subcommand, style);
    case HelpRequest::Page::HelpSubcommand:
      return help_subcommand_help(top, style);
    case HelpRequest::Page::Top:
      break;
  }
  return top_help(top, style);
}

CliParse parse_checked(CLI::App& top, CheckedArguments checked, OutputColours colours) {
  // The parser takes its arguments last first.
  std::vector<std::string> reversed(checked.parser_arguments.rbegin(),
                                    checked.parser_arguments.rend());
  try {
    top.parse(std::move(reversed));
  } catch (const std::exception& error) {
    return unexpected_failure(top, error.what(), colours);
  }
  Result<Cli> cli = cli_from_matches(matches_from_app(top));
  if (!cli) return unexpected_failure(top, cli.error(), colours);
  return std::move(cli).value();
}

}  // namespace

CliParse parse_arguments(std::span<const std::string> arguments, OutputColours colours) {
  try {
    std::unique_ptr<CLI::App> top = cli_command();
    WalkOutcome outcome = walk_arguments(*top, arguments);
    if (auto* checked = std::get_if<CheckedArguments>(&outcome)) {
      return parse_checked(*top, std::move(*checked), colours);
    }
    if (auto* help = std::get_if<HelpRequest>(&outcome)) {
      return CliExit{0, help_page(*top, *help, Style(colours.out)), ""};
    }
    if (std::holds_alternative<VersionRequest>(outcome)) {
      return CliExit{0, top->get_name() + " " + std::string(kVersionText) + "\n", ""};
    }
    if (std::holds_alternative<BareCommand>(outcome)) {
      return CliExit{2, "", top_help(*top, Style(colours.err))};
    }
    return usage_exit(std::get<UsageError>(outcome), colours);
  } catch (const std::exception& error) {
    return CliExit{2, "", std::string("error: ") + error.what() + "\n"};
  }
}

CliParse parse_arguments_for_streams(std::span<const std::string> arguments, OutputColours wanted,
                                     const ColourPreparation& prepare) {
  CliParse parsed = parse_arguments(arguments, wanted);
  const auto* exit = std::get_if<CliExit>(&parsed);
  if (exit == nullptr) return parsed;
  // A command line that leads to a run shows nothing of the parser's: no console is switched.
  const bool out_shows = !wanted.out || exit->out_text.empty() || prepare(platform::Stream::Out);
  const bool err_shows = !wanted.err || exit->err_text.empty() || prepare(platform::Stream::Err);
  if (out_shows && err_shows) return parsed;
  return parse_arguments(arguments, {wanted.out && out_shows, wanted.err && err_shows});
}

CliParse cli_parse(std::span<const std::string> arguments) {
  // The program path is not matched (and a process may be started without one).
  if (!arguments.empty()) arguments = arguments.subspan(1);
  const OutputColours colours{colour_enabled_for(platform::Stream::Out),
                              colour_enabled_for(platform::Stream::Err)};
  return parse_arguments_for_streams(arguments, colours, platform::prepare_for_colour);
}

}  // namespace quorvane
