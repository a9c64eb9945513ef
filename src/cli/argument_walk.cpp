#include "cli/argument_walk.hpp"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <set>
#include <string_view>

#include "cli/definition.hpp"
#include "cli/help_text.hpp"
#include "cli/similar_name.hpp"
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

const CLI::Option* find_long(const CLI::App& command, std::string_view name) {
  for (const CLI::Option* option : command.get_options()) {
    const auto& names = option->get_lnames();
    if (std::find(names.begin(), names.end(), name) != names.end()) return option;
  }
  return nullptr;
}

const CLI::Option* find_short(const CLI::App& command, std::string_view cluster) {
  const std::string name = first_short_option(cluster).substr(1);
  for (const CLI::Option* option : command.get_options()) {
    const auto& names = option->get_snames();
    if (std::find(names.begin(), names.end(), name) != names.end()) return option;
  }
  return nullptr;
}

const CLI::App* find_subcommand(const CLI::App& top, std::string_view name) {
  for (const CLI::App* subcommand : top.get_subcommands([](const CLI::App*) { return true; })) {
    if (subcommand->get_name() == name) return subcommand;
  }
  return nullptr;
}

std::vector<std::string> subcommand_names(const CLI::App& top) {
  std::vector<std::string> names;
  for (const CLI::App* subcommand : top.get_subcommands([](const CLI::App*) { return true; })) {
    names.push_back(subcommand->get_name());
  }
  names.emplace_back(kHelpSubcommand);
  return names;
}

std::vector<std::string> long_names(const CLI::App& command) {
  std::vector<std::string> names;
  for (const CLI::Option* option : command.get_options()) {
    for (const std::string& name : option->get_lnames()) names.push_back(name);
  }
  return names;
}

bool is_flag(const CLI::Option& option) {
  return option.get_items_expected_max() == 0;
}
bool at_most_once(const CLI::Option& option) {
  return option.get_multi_option_policy() == CLI::MultiOptionPolicy::Throw;
}

Spans quoted(std::string_view before, Tone tone, std::string_view text, std::string_view after) {
  return {{Tone::Plain, std::string(before) + "'"},
          {tone, std::string(text)},
          {Tone::Plain, "'" + std::string(after)}};
}

UsageError unexpected_argument(std::string_view token, Spans usage, std::vector<Spans> tips = {}) {
  return UsageError{quoted("unexpected argument ", Tone::Invalid, shown_argument(token), " found"),
                    std::move(tips), std::move(usage)};
}

std::optional<Spans> similar_option_tip(std::string_view typed_name,
                                        const std::vector<std::string>& names) {
  const auto similar = most_similar_name(typed_name, names);
  if (!similar) return std::nullopt;
  return quoted("a similar argument exists: ", Tone::Valid, "--" + *similar, "");
}

UsageError unexpected_value(std::string_view value, const CLI::Option& flag, Spans usage) {
  Spans message = quoted("unexpected value ", Tone::Invalid, shown_argument(value), " for ");
  Spans rest = quoted("", Tone::Literal, argument_display(flag), " found; no more were expected");
  message.insert(message.end(), rest.begin(), rest.end());
  return UsageError{std::move(message), {}, std::move(usage)};
}

UsageError repeated_option(const CLI::Option& option, Spans usage) {
  return UsageError{quoted("the argument ", Tone::Literal, argument_display(option),
                           " cannot be used multiple times"),
                    {},
                    std::move(usage)};
}

UsageError missing_value(const CLI::Option& option, std::string_view long_name,
                         std::optional<std::string_view> next, Spans usage) {
  std::vector<Spans> tips;
  if (next) {
    const std::string joined = "--" + std::string(long_name) + "=" + shown_argument(*next);
    Spans tip = quoted("to pass ", Tone::Invalid, shown_argument(*next), " as the value, use ");
    Spans rest = quoted("", Tone::Valid, joined, "");
    tip.insert(tip.end(), rest.begin(), rest.end());
    tips.push_back(std::move(tip));
  }
  return UsageError{quoted("a value is required for ", Tone::Literal, argument_display(option),
                           " but none was supplied"),
                    std::move(tips), std::move(usage)};
}

UsageError unrecognized_subcommand(const CLI::App& top, std::string_view name, Spans usage) {
  std::vector<Spans> tips;
  if (auto similar = most_similar_name(name, subcommand_names(top))) {
    tips.push_back(quoted("a similar subcommand exists: ", Tone::Valid, *similar, ""));
  }
  return UsageError{quoted("unrecognized subcommand ", Tone::Invalid, shown_argument(name), ""),
                    std::move(tips), std::move(usage)};
}

UsageError missing_subcommand(const CLI::App& top) {
  std::string list;
  for (const std::string& name : subcommand_names(top)) list += (list.empty() ? "" : ", ") + name;
  Spans message = quoted("", Tone::Literal, top.get_name(),
                         " requires a subcommand but one was not provided\n  [subcommands: ");
  message.push_back({Tone::Valid, list});
  message.push_back({Tone::Plain, "]"});
  return UsageError{std::move(message), {}, top_usage(top)};
}

UsageError invalid_utf8(const CLI::App& top) {
  return UsageError{
      {{Tone::Plain, "invalid UTF-8 was detected in one or more arguments"}}, {}, top_usage(top)};
}

// An option written before the subcommand, or one that does not exist at all.
UsageError unknown_top_option(const CLI::App& top, std::string_view token, std::string_view name) {
  std::vector<Spans> tips;
  if (auto tip = similar_option_tip(name, long_names(top))) {
    tips.push_back(std::move(*tip));
  } else {
    for (const CLI::App* subcommand : top.get_subcommands([](const CLI::App*) { return true; })) {
      if (find_long(*subcommand, name) == nullptr) continue;
      const std::string example =
          top.get_name() + " " + subcommand->get_name() + " --" + std::string(name);
      Spans tip =
          quoted("", Tone::Literal, "--" + std::string(name),
                 " is an option of a subcommand; write it after the subcommand name, as in ");
      Spans rest = quoted("", Tone::Valid, example, "");
      tip.insert(tip.end(), rest.begin(), rest.end());
      tips.push_back(std::move(tip));
      break;
    }
  }
  if (tips.empty()) {
    std::vector<std::string> subcommand_options;
    for (const CLI::App* subcommand : top.get_subcommands([](const CLI::App*) { return true; })) {
      for (std::string& option : long_names(*subcommand)) {
        if (option != "help") subcommand_options.push_back(std::move(option));
      }
    }
    if (auto similar = most_similar_name(name, subcommand_options)) {
      Spans tip = quoted("a similar argument of a subcommand exists: ", Tone::Valid,
                         "--" + *similar, "; write it after the subcommand name");
      tips.push_back(std::move(tip));
    }
  }
  return unexpected_argument(token, top_usage(top), std::move(tips));
}

// An option of the top command alone (the version) written behind a subcommand.
std::optional<Spans> top_only_tip(const CLI::App& top, const CLI::Option* top_option,
                                  std::string_view written) {
  if (top_option == nullptr || top_option == top.get_help_ptr()) return std::nullopt;
  Spans tip = quoted("", Tone::Literal, std::string(written),
                     " belongs to the command itself, before any subcommand, as in ");
  Spans rest = quoted("", Tone::Valid, top.get_name() + " " + std::string(written), "");
  tip.insert(tip.end(), rest.begin(), rest.end());
  return tip;
}

WalkOutcome walk_help_subcommand(const CLI::App& top, std::span<const std::string> rest) {
  const Spans usage = help_subcommand_usage(top);
  bool positional_only = false;
  std::optional<HelpRequest> target;
  for (const std::string& token : rest) {
    if (!positional_only && token == "--") {
      positional_only = true;
      continue;
    }
    if (!positional_only && is_long_option(token)) {
      const LongOption option = split_long_option(token);
      if (option.name == "help" && !option.value) {
        return HelpRequest{HelpRequest::Page::HelpSubcommand, nullptr};
      }
      std::vector<Spans> tips;
      if (auto tip = similar_option_tip(option.name, {"help"})) tips.push_back(std::move(*tip));
      return unexpected_argument(token, usage, std::move(tips));
    }
    if (!positional_only && is_short_option(token)) {
      if (first_short_option(token) == "-h") {
        return HelpRequest{HelpRequest::Page::HelpSubcommand, nullptr};
      }
      return unexpected_argument(first_short_option(token), usage);
    }
    if (target) return unexpected_argument(token, usage);
    if (token == kHelpSubcommand) {
      target = HelpRequest{HelpRequest::Page::HelpSubcommand, nullptr};
    } else if (const CLI::App* subcommand = find_subcommand(top, token)) {
      target = HelpRequest{HelpRequest::Page::Subcommand, subcommand};
    } else {
      return unrecognized_subcommand(top, token, usage);
    }
  }
  return target.value_or(HelpRequest{HelpRequest::Page::Top, nullptr});
}

std::size_t positional_capacity(const CLI::App& subcommand) {
  std::size_t capacity = 0;
  for (const CLI::Option* option : subcommand.get_options()) {
    if (option->get_positional()) {
      capacity += static_cast<std::size_t>(std::max(option->get_items_expected_max(), 0));
    }
  }
  return capacity;
}

std::vector<const CLI::Option*> positionals_of(const CLI::App& subcommand) {
  return subcommand.get_options([](const CLI::Option* option) { return option->get_positional(); });
}

WalkOutcome walk_subcommand(const CLI::App& top, const CLI::App& subcommand,
                            std::span<const std::string> rest) {
  const Spans usage = subcommand_usage(top, subcommand);
  std::vector<std::string> parser_arguments{subcommand.get_name()};
  std::vector<std::string> positionals;
  std::set<const CLI::Option*> seen;
  const std::size_t capacity = positional_capacity(subcommand);
  bool positional_only = false;

  for (std::size_t i = 0; i < rest.size(); ++i) {
    const std::string& token = rest[i];
    if (!positional_only && token == "--") {
      positional_only = true;
      continue;
    }
    if (!positional_only && is_long_option(token)) {
      const LongOption written = split_long_option(token);
      const CLI::Option* option = find_long(subcommand, written.name);
      if (option == nullptr) {
        std::vector<Spans> tips;
        if (auto tip = similar_option_tip(written.name, long_names(subcommand))) {
          tips.push_back(std::move(*tip));
        } else if (auto tip = top_only_tip(top, find_long(top, written.name),
                                           "--" + std::string(written.name))) {
          tips.push_back(std::move(*tip));
        }
        return unexpected_argument(token, usage, std::move(tips));
      }
      if (is_flag(*option) && written.value) {
        return unexpected_value(*written.value, *option, usage);
      }
      if (option == subcommand.get_help_ptr())
        return HelpRequest{HelpRequest::Page::Subcommand, &subcommand};
      if (at_most_once(*option) && seen.contains(option)) return repeated_option(*option, usage);
      seen.insert(option);
      parser_arguments.push_back("--" + std::string(written.name));
      if (is_flag(*option)) continue;
      std::string_view value;
      if (written.value) {
        value = *written.value;
      } else if (i + 1 < rest.size() && !looks_like_option(rest[i + 1])) {
        value = rest[++i];
      } else {
        std::optional<std::string_view> next;
        if (i + 1 < rest.size()) next = rest[i + 1];
        return missing_value(*option, written.name, next, usage);
      }
      // --changed-since "$BASE_REF" with an empty variable: no value was meant, so none was given.
      if (value.empty() && refuses_empty_value(subcommand, *option)) {
        return missing_value(*option, written.name, std::nullopt, usage);
      }
      parser_arguments.emplace_back(value);
      continue;
    }
    if (!positional_only && is_short_option(token)) {
      const CLI::Option* option = find_short(subcommand, token);
      if (option != nullptr && option == subcommand.get_help_ptr()) {
        return HelpRequest{HelpRequest::Page::Subcommand, &subcommand};
      }
      const std::string written = first_short_option(token);
      std::vector<Spans> tips;
      if (auto tip = top_only_tip(top, find_short(top, token), written))
        tips.push_back(std::move(*tip));
      return unexpected_argument(written, usage, std::move(tips));
    }
    if (positionals.size() >= capacity) return unexpected_argument(token, usage);
    positionals.push_back(token);
  }

  Spans not_provided;
  std::size_t given = positionals.size();
  for (const CLI::Option* positional : positionals_of(subcommand)) {
    const auto needed = static_cast<std::size_t>(std::max(positional->get_items_expected_min(), 0));
    if (positional->get_required() && given < needed) {
      not_provided.push_back({Tone::Plain, "\n  "});
      not_provided.push_back({Tone::Valid, argument_display(*positional)});
    }
    given = given > needed ? given - needed : 0;
  }
  if (!not_provided.empty()) {
    Spans message{{Tone::Plain, "the following required arguments were not provided:"}};
    message.insert(message.end(), not_provided.begin(), not_provided.end());
    return UsageError{std::move(message), {}, usage};
  }

  if (!positionals.empty()) {
    parser_arguments.emplace_back("--");
    parser_arguments.insert(parser_arguments.end(), positionals.begin(), positionals.end());
  }
  return CheckedArguments{std::move(parser_arguments)};
}

}  // namespace

WalkOutcome walk_arguments(const CLI::App& top, std::span<const std::string> arguments) {
  if (arguments.empty()) return BareCommand{};
  for (const std::string& argument : arguments) {
    if (!is_valid_utf8(argument)) return invalid_utf8(top);
  }
  const std::string& first = arguments.front();
  if (first == "--") {
    if (arguments.size() == 1) return missing_subcommand(top);
    return unexpected_argument(arguments[1], top_usage(top));
  }
  if (is_long_option(first)) {
    const LongOption written = split_long_option(first);
    const CLI::Option* option = find_long(top, written.name);
    if (option == nullptr) return unknown_top_option(top, first, written.name);
    if (written.value) return unexpected_value(*written.value, *option, top_usage(top));
    if (option == top.get_help_ptr()) return HelpRequest{HelpRequest::Page::Top, nullptr};
    return VersionRequest{};
  }
  if (is_short_option(first)) {
    const CLI::Option* option = find_short(top, first);
    if (option == nullptr) return unexpected_argument(first_short_option(first), top_usage(top));
    if (option == top.get_help_ptr()) return HelpRequest{HelpRequest::Page::Top, nullptr};
    return VersionRequest{};
  }
  if (first == kHelpSubcommand) return walk_help_subcommand(top, arguments.subspan(1));
  if (const CLI::App* subcommand = find_subcommand(top, first)) {
    return walk_subcommand(top, *subcommand, arguments.subspan(1));
  }
  return unrecognized_subcommand(top, first, top_usage(top));
}

}  // namespace quorvane
