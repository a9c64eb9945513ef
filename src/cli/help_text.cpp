#include "cli/help_text.hpp"

#include <algorithm>
#include <cstddef>
#include <vector>

#include <fmt/format.h>

namespace quorvane {
namespace {

struct Row {
  Spans name;
  std::string description;
};

std::size_t plain_width(const Spans& spans) {
  std::size_t width = 0;
  for (const Span& span : spans) width += span.text.size();
  return width;
}

std::string value_placeholder(const ArgumentDefinition& argument) {
  return fmt::format("<{}>", argument.value_name);
}

bool takes_value(const ArgumentDefinition& argument) {
  return argument.form != ArgumentForm::Flag;
}

Row option_row(const ArgumentDefinition& option) {
  Spans name;
  // Long-only options are indented so that their long names line up under "-h, --help".
  if (option.short_name.empty()) {
    name.push_back({Tone::Plain, "    "});
  } else {
    name.push_back({Tone::Literal, fmt::format("-{}", option.short_name)});
    name.push_back({Tone::Plain, ", "});
  }
  name.push_back({Tone::Literal, fmt::format("--{}", option.long_name)});
  if (takes_value(option))
    name.push_back({Tone::Plain, fmt::format(" {}", value_placeholder(option))});
  std::string description(option.help);
  if (!option.default_value.empty()) {
    if (!description.empty()) description += " ";
    description += fmt::format("[default: {}]", option.default_value);
  }
  return Row{std::move(name), std::move(description)};
}

Row positional_row(const ArgumentDefinition& positional) {
  return Row{{{Tone::Literal, value_placeholder(positional)}}, std::string(positional.help)};
}

struct Section {
  std::string_view heading;
  std::vector<Row> rows;
};

// The sections of one page share a description column, two blanks right of the widest name.
std::string render_sections(const std::vector<Section>& sections, const Style& style) {
  std::size_t width = 0;
  for (const Section& section : sections) {
    for (const Row& row : section.rows) width = std::max(width, plain_width(row.name));
  }
  std::string out;
  bool first = true;
  for (const Section& section : sections) {
    if (section.rows.empty()) continue;
    if (!first) out += "\n";
    first = false;
    out += style.paint(Tone::Heading, std::string(section.heading) + ":") + "\n";
    for (const Row& row : section.rows) {
      out += "  " + style.render(row.name);
      if (!row.description.empty()) {
        out += std::string(width - plain_width(row.name) + 2, ' ') + row.description;
      }
      out += "\n";
    }
  }
  return out;
}

std::string usage_block(const Spans& usage, const Style& style) {
  return style.paint(Tone::Heading, "Usage:") + " " + style.render(usage) + "\n";
}

}  // namespace

std::string argument_display(const ArgumentDefinition& argument) {
  if (argument.is_positional()) return value_placeholder(argument);
  if (!takes_value(argument)) return fmt::format("--{}", argument.long_name);
  return fmt::format("--{} {}", argument.long_name, value_placeholder(argument));
}

Spans top_usage() {
  return {{Tone::Literal, std::string(kProgramName)}, {Tone::Plain, " <COMMAND>"}};
}

Spans subcommand_usage(const SubcommandDefinition& subcommand) {
  Spans usage{{Tone::Literal, fmt::format("{} {}", kProgramName, subcommand.name)}};
  const auto& arguments = subcommand.arguments;
  if (std::any_of(arguments.begin(), arguments.end(),
                  [](const ArgumentDefinition& argument) { return !argument.is_positional(); })) {
    usage.push_back({Tone::Plain, " [OPTIONS]"});
  }
  for (const ArgumentDefinition& argument : arguments) {
    if (argument.is_positional()) {
      usage.push_back({Tone::Plain, fmt::format(" {}", value_placeholder(argument))});
    }
  }
  return usage;
}

Spans help_subcommand_usage() {
  return {{Tone::Literal, fmt::format("{} {}", kProgramName, kHelpSubcommand)},
          {Tone::Plain, " [COMMAND]"}};
}

std::string top_help(const Style& style) {
  Section commands{"Commands", {}};
  for (const SubcommandDefinition& subcommand : cli_command()) {
    commands.rows.push_back({{{Tone::Literal, std::string(subcommand.name)}}, ""});
  }
  commands.rows.push_back(
      {{{Tone::Literal, std::string(kHelpSubcommand)}}, std::string(kHelpSubcommandAbout)});
  const Section options{"Options", {option_row(kHelpFlag), option_row(kVersionFlag)}};

  std::string out = std::string(kAboutText) + "\n\n";
  out += usage_block(top_usage(), style) + "\n";
  // Subcommand names and option names are laid out as separate tables.
  out += render_sections({commands}, style) + "\n";
  out += render_sections({options}, style);
  return out;
}

std::string subcommand_help(const SubcommandDefinition& subcommand, const Style& style) {
  Section arguments{"Arguments", {}};
  Section options{"Options", {}};
  for (const ArgumentDefinition& argument : subcommand.arguments) {
    if (argument.is_positional()) {
      arguments.rows.push_back(positional_row(argument));
    } else {
      options.rows.push_back(option_row(argument));
    }
  }
  options.rows.push_back(option_row(kHelpFlag));

  std::string out = usage_block(subcommand_usage(subcommand), style) + "\n";
  out += render_sections({arguments, options}, style);
  return out;
}

std::string help_subcommand_help(const Style& style) {
  const Section arguments{"Arguments",
                          {{{{Tone::Plain, "[COMMAND]"}}, "The subcommand whose help to print"}}};
  const Section options{"Options", {option_row(kHelpFlag)}};
  std::string out = std::string(kHelpSubcommandAbout) + "\n\n";
  out += usage_block(help_subcommand_usage(), style) + "\n";
  out += render_sections({arguments, options}, style);
  return out;
}

}  // namespace quorvane
