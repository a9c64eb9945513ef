#include <string>
#include <utility>

#include <fmt/format.h>

#include "cli/argument_walk.hpp"
#include "cli/cli.hpp"
#include "cli/colour.hpp"
#include "cli/definition.hpp"
#include "cli/help_text.hpp"
#include "cli/parse_arguments.hpp"

namespace quorvane {
namespace {

std::string help_page(const HelpRequest& request, const Style& style) {
  switch (request.page) {
    case HelpRequest::Page::Subcommand:
      return subcommand_help(*request.subcommand, style);
    case HelpRequest::Page::HelpSubcommand:
      return help_subcommand_help(style);
    case HelpRequest::Page::Top:
      break;
  }
  return top_help(style);
}

}  // namespace

CliParse parse_arguments(std::span<const std::string> arguments, OutputColours colours) {
  WalkOutcome outcome = walk_arguments(arguments);
  if (auto* cli = std::get_if<Cli>(&outcome)) return std::move(*cli);
  if (const auto* help = std::get_if<HelpRequest>(&outcome)) {
    return CliExit{0, help_page(*help, Style(colours.out)), ""};
  }
  if (std::holds_alternative<VersionRequest>(outcome)) {
    return CliExit{0, fmt::format("{} {}\n", kProgramName, kVersionText), ""};
  }
  if (std::holds_alternative<BareCommand>(outcome)) {
    return CliExit{2, "", top_help(Style(colours.err))};
  }
  return CliExit{2, "", render_usage_error(std::get<UsageError>(outcome), Style(colours.err))};
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
