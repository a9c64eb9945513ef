#include "cli/argument_walk.hpp"

#include <array>
#include <cstddef>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

#include <fmt/format.h>

#include "cli/help_text.hpp"
#include "cli/similar_name.hpp"
#include "platform/utf8_check.hpp"
#include "support/text.hpp"

namespace quorvane {
namespace {

bool is_long_option(std::string_view token) {
  return token.size() > 2 && token.starts_with("--");
}
bool is_short_option(std::string_view token) {
  return token.size() > 1 && token[0] == '-' && token[1] != '-';
}
// A lone "-" is an ordinary value (it often means standard input); "--" ends the options.
bool looks_like_option(std::string_view token) {
  return token.size() > 1 && token[0] == '-';
}

struct LongOption {
  std::string_view name;
  std::optional<std::string_view> value;
};

LongOption split_long_option(std::string_view token) {
  token.remove_prefix(2);
  const std::size_t equals = token.find('=');
  if (equals == std::string_view::npos) return {token, std::nullopt};
  return {token.substr(0, equals), token.substr(equals + 1)};
}

// "-x" for the first character of a short-option cluster, whole even when it is not ASCII.
std::string first_short_option(std::string_view token) {
  std::size_t end = 1;
  decode_utf8_at(token, end);
  return std::string(token.substr(0, end));
}

// The options of one command in the order that name suggestions try them: the help flag first.
using Options = std::span<const ArgumentDefinition* const>;

constexpr std::array<const ArgumentDefinition*, 2> kTopOptions{&kHelpFlag, &kVersionFlag};
constexpr std::array<const ArgumentDefinition*, 1> kHelpSubcommandOptions{&kHelpFlag};

std::vector<const ArgumentDefinition*> options_of(const SubcommandDefinition& subcommand) {
  std::vector<const ArgumentDefinition*> options{&kHelpFlag};
  for (const ArgumentDefinition& argument : subcommand.arguments) {
    if (!argument.is_positional()) options.push_back(&argument);
  }
  return options;
}

const ArgumentDefinition* find_long(Options options, std::string_view name) {
  for (const ArgumentDefinition* option : options) {
    if (option->long_name == name) return option;
  }
  return nullptr;
}

const ArgumentDefinition* find_short(Options options, std::string_view cluster) {
  const std::string name = first_short_option(cluster).substr(1);
  for (const ArgumentDefinition* option : options) {
    if (option->short_name == name) return option;
  }
  return nullptr;
}

std::vector<std::string> long_names(Options options) {
  std::vector<std::string> names;
  for (const ArgumentDefinition* option : options) names.emplace_back(option->long_name);
  return names;
}

const SubcommandDefinition* find_subcommand(std::string_view name) {
  for (const SubcommandDefinition& subcommand : cli_command()) {
    if (subcommand.name == name) return &subcommand;
  }
  return nullptr;
}

std::vector<std::string> subcommand_names() {
  std::vector<std::string> names;
  for (const SubcommandDefinition& subcommand : cli_command()) names.emplace_back(subcommand.name);
  names.emplace_back(kHelpSubcommand);
  return names;
}

bool at_most_once(const ArgumentDefinition& option) {
  return option.form == ArgumentForm::Flag || option.form == ArgumentForm::SingleOption;
}

Spans quoted(std::string_view before, Tone tone, std::string_view text, std::string_view after) {
  return {{Tone::Plain, fmt::format("{}'", before)},
          {tone, std::string(text)},
          {Tone::Plain, fmt::format("'{}", after)}};
}

UsageError unexpected_argument(std::string_view token, Spans usage, std::vector<Spans> tips = {}) {
  return UsageError{quoted("unexpected argument ", Tone::Invalid, shown_argument(token), " found"),
                    std::move(tips), std::move(usage)};
}

std::optional<Spans> similar_option_tip(std::string_view typed_name,
                                        const std::vector<std::string>& names) {
  const auto similar = most_similar_name(typed_name, names);
  if (!similar) return std::nullopt;
  return quoted("a similar argument exists: ", Tone::Valid, fmt::format("--{}", *similar), "");
}

UsageError unexpected_value(std::string_view value, const ArgumentDefinition& flag, Spans usage) {
  Spans message = quoted("unexpected value ", Tone::Invalid, shown_argument(value), " for ");
  Spans rest = quoted("", Tone::Literal, argument_display(flag), " found; no more were expected");
  message.insert(message.end(), rest.begin(), rest.end());
  return UsageError{std::move(message), {}, std::move(usage)};
}

UsageError repeated_option(const ArgumentDefinition& option, Spans usage) {
  return UsageError{quoted("the argument ", Tone::Literal, argument_display(option),
                           " cannot be used multiple times"),
                    {},
                    std::move(usage)};
}

UsageError missing_value(const ArgumentDefinition& option, std::optional<std::string_view> next,
                         Spans usage) {
  std::vector<Spans> tips;
  if (next) {
    const std::string joined = fmt::format("--{}={}", option.long_name, shown_argument(*next));
    Spans tip = quoted("to pass ", Tone::Invalid, shown_argument(*next), " as the value, use ");
    Spans rest = quoted("", Tone::Valid, joined, "");
    tip.insert(tip.end(), rest.begin(), rest.end());
    tips.push_back(std::move(tip));
  }
  return UsageError{quoted("a value is required for ", Tone::Literal, argument_display(option),
                           " but none was supplied"),
                    std::move(tips), std::move(usage)};
}

UsageError unrecognized_subcommand(std::string_view name, Spans usage) {
  std::vector<Spans> tips;
  if (auto similar = most_similar_name(name, subcommand_names())) {
    tips.push_back(quoted("a similar subcommand exists: ", Tone::Valid, *similar, ""));
  }
  return UsageError{quoted("unrecognized subcommand ", Tone::Invalid, shown_argument(name), ""),
                    std::move(tips), std::move(usage)};
}

UsageError missing_subcommand() {
  std::string list;
  for (const std::string& name : subcommand_names()) list += (list.empty() ? "" : ", ") + name;
  Spans message = quoted("", Tone::Literal, kProgramName,
                         " requires a subcommand but one was not provided\n  [subcommands: ");
  message.push_back({Tone::Valid, list});
  message.push_back({Tone::Plain, "]"});
  return UsageError{std::move(message), {}, top_usage()};
}

UsageError invalid_utf8() {
  return UsageError{
      {{Tone::Plain, "invalid UTF-8 was detected in one or more arguments"}}, {}, top_usage()};
}

// An option written before the subcommand, or one that does not exist at all.
UsageError unknown_top_option(std::string_view token, std::string_view name) {
  std::vector<Spans> tips;
  if (auto tip = similar_option_tip(name, long_names(kTopOptions))) {
    tips.push_back(std::move(*tip));
  } else {
    for (const SubcommandDefinition& subcommand : cli_command()) {
      if (find_long(options_of(subcommand), name) == nullptr) continue;
      const std::string example = fmt::format("{} {} --{}", kProgramName, subcommand.name, name);
      Spans tip =
          quoted("", Tone::Literal, fmt::format("--{}", name),
                 " is an option of a subcommand; write it after the subcommand name, as in ");
      Spans rest = quoted("", Tone::Valid, example, "");
      tip.insert(tip.end(), rest.begin(), rest.end());
      tips.push_back(std::move(tip));
      break;
    }
  }
  if (tips.empty()) {
    std::vector<std::string> subcommand_options;
    for (const SubcommandDefinition& subcommand : cli_command()) {
      for (const ArgumentDefinition& argument : subcommand.arguments) {
        if (!argument.is_positional()) {
          subcommand_options.emplace_back(argument.long_name);
        }
      }
    }
    if (auto similar = most_similar_name(name, subcommand_options)) {
      Spans tip = quoted("a similar argument of a subcommand exists: ", Tone::Valid,
                         fmt::format("--{}", *similar), "; write it after the subcommand name");
      tips.push_back(std::move(tip));
    }
  }
  return unexpected_argument(token, top_usage(), std::move(tips));
}

// An option of the top command alone (the version) written behind a subcommand.
std::optional<Spans> top_only_tip(const ArgumentDefinition* top_option, std::string_view written) {
  if (top_option == nullptr || top_option == &kHelpFlag) return std::nullopt;
  Spans tip = quoted("", Tone::Literal, written,
                     " belongs to the command itself, before any subcommand, as in ");
  Spans rest = quoted("", Tone::Valid, fmt::format("{} {}", kProgramName, written), "");
  tip.insert(tip.end(), rest.begin(), rest.end());
  return tip;
}

WalkOutcome walk_help_subcommand(std::span<const std::string> rest) {
  const Spans usage = help_subcommand_usage();
  bool positional_only = false;
  std::optional<HelpRequest> target;
  for (const std::string& token : rest) {
    if (!positional_only && token == "--") {
      positional_only = true;
      continue;
    }
    if (!positional_only && is_long_option(token)) {
      const LongOption written = split_long_option(token);
      if (find_long(kHelpSubcommandOptions, written.name) != nullptr && !written.value) {
        return HelpRequest{HelpRequest::Page::HelpSubcommand, nullptr};
      }
      std::vector<Spans> tips;
      if (auto tip = similar_option_tip(written.name, long_names(kHelpSubcommandOptions))) {
        tips.push_back(std::move(*tip));
      }
      return unexpected_argument(token, usage, std::move(tips));
    }
    if (!positional_only && is_short_option(token)) {
      if (find_short(kHelpSubcommandOptions, token) != nullptr) {
        return HelpRequest{HelpRequest::Page::HelpSubcommand, nullptr};
      }
      return unexpected_argument(first_short_option(token), usage);
    }
    if (target) return unexpected_argument(token, usage);
    if (token == kHelpSubcommand) {
      target = HelpRequest{HelpRequest::Page::HelpSubcommand, nullptr};
    } else if (const SubcommandDefinition* subcommand = find_subcommand(token)) {
      target = HelpRequest{HelpRequest::Page::Subcommand, subcommand};
    } else {
      return unrecognized_subcommand(token, usage);
    }
  }
  return target.value_or(HelpRequest{HelpRequest::Page::Top, nullptr});
}

// The positional arguments of the subcommand, in definition order.
std::vector<const ArgumentDefinition*> positionals_of(const SubcommandDefinition& subcommand) {
  std::vector<const ArgumentDefinition*> positionals;
  for (const ArgumentDefinition& argument : subcommand.arguments) {
    if (argument.is_positional()) positionals.push_back(&argument);
  }
  return positionals;
}

WalkOutcome walk_subcommand(const SubcommandDefinition& subcommand,
                            std::span<const std::string> rest) {
  const Spans usage = subcommand_usage(subcommand);
  const std::vector<const ArgumentDefinition*> options = options_of(subcommand);
  const std::vector<const ArgumentDefinition*> positionals = positionals_of(subcommand);
  CliCommand command = subcommand.empty_command();
  std::set<const ArgumentDefinition*> given;
  std::size_t positionals_given = 0;
  bool positional_only = false;

  for (std::size_t i = 0; i < rest.size(); ++i) {
    const std::string& token = rest[i];
    if (!positional_only && token == "--") {
      positional_only = true;
      continue;
    }
    if (!positional_only && is_long_option(token)) {
      const LongOption written = split_long_option(token);
      const ArgumentDefinition* option = find_long(options, written.name);
      if (option == nullptr) {
        std::vector<Spans> tips;
        if (auto tip = similar_option_tip(written.name, long_names(options))) {
          tips.push_back(std::move(*tip));
        } else if (auto tip = top_only_tip(find_long(kTopOptions, written.name),
                                           fmt::format("--{}", written.name))) {
          tips.push_back(std::move(*tip));
        }
        return unexpected_argument(token, usage, std::move(tips));
      }
      const bool is_flag = option->form == ArgumentForm::Flag;
      if (is_flag && written.value) return unexpected_value(*written.value, *option, usage);
      if (option == &kHelpFlag) return HelpRequest{HelpRequest::Page::Subcommand, &subcommand};
      if (at_most_once(*option) && given.contains(option)) return repeated_option(*option, usage);
      given.insert(option);
      if (is_flag) {
        option->store(command, "");
        continue;
      }
      std::string_view value;
      if (written.value) {
        value = *written.value;
      } else if (i + 1 < rest.size() && !looks_like_option(rest[i + 1])) {
        value = rest[++i];
      } else {
        std::optional<std::string_view> next;
        if (i + 1 < rest.size()) next = rest[i + 1];
        return missing_value(*option, next, usage);
      }
      // --changed-since "$BASE_REF" with an empty variable: no value was meant, so none was given.
      if (value.empty() && option->refuses_empty_value) {
        return missing_value(*option, std::nullopt, usage);
      }
      option->store(command, value);
      continue;
    }
    if (!positional_only && is_short_option(token)) {
      if (find_short(options, token) == &kHelpFlag) {
        return HelpRequest{HelpRequest::Page::Subcommand, &subcommand};
      }
      const std::string written = first_short_option(token);
      std::vector<Spans> tips;
      if (auto tip = top_only_tip(find_short(kTopOptions, token), written)) {
        tips.push_back(std::move(*tip));
      }
      return unexpected_argument(written, usage, std::move(tips));
    }
    if (positionals_given >= positionals.size()) return unexpected_argument(token, usage);
    positionals[positionals_given++]->store(command, token);
  }

  if (positionals_given < positionals.size()) {
    Spans message{{Tone::Plain, "the following required arguments were not provided:"}};
    for (std::size_t i = positionals_given; i < positionals.size(); ++i) {
      message.push_back({Tone::Plain, "\n  "});
      message.push_back({Tone::Valid, argument_display(*positionals[i])});
    }
    return UsageError{std::move(message), {}, usage};
  }
  for (const ArgumentDefinition& argument : subcommand.arguments) {
    if (!argument.default_value.empty() && !given.contains(&argument)) {
      argument.store(command, argument.default_value);
    }
  }
  return Cli{std::move(command)};
}

}  // namespace

WalkOutcome walk_arguments(std::span<const std::string> arguments) {
  if (arguments.empty()) return BareCommand{};
  for (const std::string& argument : arguments) {
    if (!platform::is_valid_utf8(argument)) return invalid_utf8();
  }
  const std::string& first = arguments.front();
  if (first == "--") {
    if (arguments.size() == 1) return missing_subcommand();
    return unexpected_argument(arguments[1], top_usage());
  }
  if (is_long_option(first)) {
    const LongOption written = split_long_option(first);
    const ArgumentDefinition* option = find_long(kTopOptions, written.name);
    if (option == nullptr) return unknown_top_option(first, written.name);
    if (written.value) return unexpected_value(*written.value, *option, top_usage());
    if (option == &kHelpFlag) return HelpRequest{HelpRequest::Page::Top, nullptr};
    return VersionRequest{};
  }
  if (is_short_option(first)) {
    const ArgumentDefinition* option = find_short(kTopOptions, first);
    if (option == nullptr) return unexpected_argument(first_short_option(first), top_usage());
    if (option == &kHelpFlag) return HelpRequest{HelpRequest::Page::Top, nullptr};
    return VersionRequest{};
  }
  if (first == kHelpSubcommand) return walk_help_subcommand(arguments.subspan(1));
  if (const SubcommandDefinition* subcommand = find_subcommand(first)) {
    return walk_subcommand(*subcommand, arguments.subspan(1));
  }
  return unrecognized_subcommand(first, top_usage());
}

}  // namespace quorvane
