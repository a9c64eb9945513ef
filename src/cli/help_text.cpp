#include "cli/help_text.hpp"

#include <algorithm>
#include <cstddef>
#include <vector>

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

std::string value_placeholder(const CLI::Option& option) {
  return "<" + option.get_type_name() + ">";
}

bool takes_value(const CLI::Option& option) {
  return option.get_items_expected_max() != 0;
}

Row option_row(const CLI::Option& option) {
  Spans name;
  // Long-only options are indented so that their long names line up under "-h, --help".
  if (option.get_snames().empty()) {
    name.push_back({Tone::Plain, "    "});
  } else {
    name.push_back({Tone::Literal, "-" + option.get_snames().front()});
    name.push_back({Tone::Plain, ", "});
  }
  name.push_back({Tone::Literal, "--" + option.get_lnames().front()});
  if (takes_value(option)) name.push_back({Tone::Plain, " " + value_placeholder(option)});
  std::string description = option.get_description();
  if (!option.get_default_str().empty()) {
    if (!description.empty()) description += " ";
    description += "[default: " + option.get_default_str() + "]";
  }
  return Row{std::move(name), std::move(description)};
}

Row positional_row(const CLI::Option& option) {
  return Row{{{Tone::Literal, value_placeholder(option)}}, option.get_description()};
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

std::vector<const CLI::App*> defined_subcommands(const CLI::App& top) {
  return top.get_subcommands([](const CLI::App*) { return true; });
}

std::vector<const CLI::Option*> own_arguments(const CLI::App& command, bool positional) {
  return command.get_options([&](const CLI::Option* option) {
    return option != command.get_help_ptr() && option != command.get_version_ptr() &&
           option->get_positional() == positional;
  });
}

}  // namespace

std::string argument_display(const CLI::Option& option) {
  if (option.get_positional()) return value_placeholder(option);
  std::string display = option.get_lnames().empty() ? "-" + option.get_snames().front()
                                                    : "--" + option.get_lnames().front();
  if (takes_value(option)) display += " " + value_placeholder(option);
  return display;
}

Spans top_usage(const CLI::App& top) {
  return {{Tone::Literal, top.get_name()}, {Tone::Plain, " <COMMAND>"}};
}

Spans subcommand_usage(const CLI::App& top, const CLI::App& subcommand) {
  Spans usage{{Tone::Literal, top.get_name() + " " + subcommand.get_name()}};
  if (!own_arguments(subcommand, false).empty()) usage.push_back({Tone::Plain, " [OPTIONS]"});
  for (const CLI::Option* positional : own_arguments(subcommand, true)) {
    usage.push_back({Tone::Plain, " " + value_placeholder(*positional)});
  }
  return usage;
}

Spans help_subcommand_usage(const CLI::App& top) {
  return {{Tone::Literal, top.get_name() + " " + std::string(kHelpSubcommand)},
          {Tone::Plain, " [COMMAND]"}};
}

std::string top_help(const CLI::App& top, const Style& style) {
  Section commands{"Commands", {}};
  for (const CLI::App* subcommand : defined_subcommands(top)) {
    commands.rows.push_back(
        {{{Tone::Literal, subcommand->get_name()}}, subcommand->get_description()});
  }
  commands.rows.push_back(
      {{{Tone::Literal, std::string(kHelpSubcommand)}}, std::string(kHelpSubcommandAbout)});

  Section options{"Options", {}};
  for (const CLI::Option* option : own_arguments(top, false))
    options.rows.push_back(option_row(*option));
  if (const CLI::Option* help = top.get_help_ptr()) options.rows.push_back(option_row(*help));
  if (const CLI::Option* version = top.get_version_ptr()) {
    options.rows.push_back(option_row(*version));
  }

  std::string out;
  if (!top.get_description().empty()) out += top.get_description() + "\n\n";
  out += usage_block(top_usage(top), style) + "\n";
  // Subcommand names and option names are laid out as separate tables.
  out += render_sections({commands}, style) + "\n";
  out += render_sections({options}, style);
  return out;
}

std::string subcommand_help(const CLI::App& top, const CLI::App& subcommand, const Style& style) {
  Section arguments{"Arguments", {}};
  for (const CLI::Option* positional : own_arguments(subcommand, true)) {
    arguments.rows.push_back(positional_row(*positional));
  }
  Section options{"Options", {}};
  for (const CLI::Option* option : own_arguments(subcommand, false)) {
    options.rows.push_back(option_row(*option));
  }
  if (const CLI::Option* help = subcommand.get_help_ptr())
    options.rows.push_back(option_row(*help));

  std::string out;
  if (!subcommand.get_description().empty()) out += subcommand.get_description() + "\n\n";
  out += usage_block(subcommand_usage(top, subcommand), style) + "\n";
  out += render_sections({arguments, options}, style);
  return out;
}

std::string help_subcommand_help(const CLI::App& top, const Style& style) {
  Section arguments{"Arguments",
                    {{{{Tone::Plain, "[COMMAND]"}}, "The subcommand whose help to print"}}};
  Section options{"Options", {}};
  if (const CLI::Option* help = top.get_help_ptr()) options.rows.push_back(option_row(*help));
  std::string out = std::string(kHelpSubcommandAbout) + "\n\n";
  out += usage_block(help_subcommand_usage(top), style) + "\n";
  out += render_sections({arguments, options}, style);
  return out;
}

}  // namespace quorvane
