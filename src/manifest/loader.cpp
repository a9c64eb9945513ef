#include "manifest/loader.hpp"

#include <algorithm>
#include <unordered_set>

#include <fmt/format.h>

#include "platform/files.hpp"
#include "platform/paths.hpp"
#include "platform/read_file.hpp"
#include "support/text.hpp"

namespace quorvane {
namespace {

constexpr std::string_view kPrefix = "manifest_error: ";

Failure manifest_error(std::string text) {
  return Failure{std::string(kPrefix) + text};
}

bool is_builtin_stage(std::string_view name) {
  return std::find(kBuiltinStages.begin(), kBuiltinStages.end(), name) != kBuiltinStages.end();
}

bool is_stage_name_tail(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

// [a-z][a-z0-9_-]*; any byte outside ASCII belongs to a character that fails.
bool is_custom_stage_name(std::string_view name) {
  if (name.empty() || name[0] < 'a' || name[0] > 'z') return false;
  return std::all_of(name.begin() + 1, name.end(), is_stage_name_tail);
}

Result<std::vector<StageDef>> validate_custom_stages(std::map<std::string, RawStageDef> raw) {
  std::vector<StageDef> stages;
  stages.reserve(raw.size());
  for (auto& [name, definition] : raw) {  // byte order of the names
    if (is_builtin_stage(name)) {
      return manifest_error(fmt::format("custom stage '{}' collides with a built-in stage", name));
    }
    if (!is_custom_stage_name(name)) {
      return manifest_error(
          fmt::format("invalid custom stage name '{}' (expected [a-z][a-z0-9_-]*)", name));
    }
    stages.push_back(StageDef{name, std::move(definition.description)});
  }
  return stages;
}

Result<std::vector<TypeDef>> validate_types(std::map<std::string, RawTypeDef> raw) {
  std::vector<TypeDef> types;
  types.reserve(raw.size());
  for (auto& [name, definition] : raw) {  // byte order of the names
    if (!is_type_name(name)) {
      return manifest_error(
          fmt::format("invalid requirement type '{}' (expected [A-Z][A-Z0-9_-]*)", name));
    }
    types.push_back(TypeDef{name, std::move(definition.description)});
  }
  return types;
}

// The first entry that names no known stage fails; `place` names the list in the message (it
// is asked for only then, as composing it for every list would cost more than the check).
template <class Place>
Status check_stage_list(const std::vector<std::string>& list, const StageSet& stages, Place place) {
  for (const std::string& stage : list) {
    if (!stages.contains(stage)) {
      return manifest_error(fmt::format("invalid stage '{}' in {}", stage, place()));
    }
  }
  return Ok{};
}

Result<std::vector<std::string>> policy_stages(const std::optional<RawPolicy>& policy,
                                               const StageSet& stages) {
  if (!policy || !policy->required_stages) {
    return std::vector<std::string>(kDefaultRequiredStages.begin(), kDefaultRequiredStages.end());
  }
  Status checked = check_stage_list(*policy->required_stages, stages,
                                    [] { return std::string_view("policy.required_stages"); });
  if (!checked) return std::move(checked).take_failure();
  return *policy->required_stages;
}

Result<std::vector<std::filesystem::path>> validate_scan_roots(const std::filesystem::path& root,
                                                               const std::optional<RawScan>& scan) {
  const std::vector<std::string> texts =
      scan && scan->roots ? *scan->roots : std::vector<std::string>{"."};

  Result<std::filesystem::path> project = platform::canonical_path(root);
  if (!project) {
    return manifest_error(fmt::format("cannot resolve repo root ({})", project.error()));
  }

  std::vector<std::filesystem::path> roots;
  roots.reserve(texts.size());
  for (const std::string& text : texts) {
    if (platform::is_absolute_by_windows_rule(text)) {
      return manifest_error(fmt::format("scan root '{}' must not be absolute", text));
    }
    Result<std::filesystem::path> resolved =
        platform::canonical_path(platform::join_path(root, text));
    if (!resolved) {
      return manifest_error(fmt::format("scan root '{}' is unreadable or does not exist", text));
    }
    if (!platform::starts_with_components(resolved.value(), project.value())) {
      return manifest_error(fmt::format("scan root '{}' escapes the repository root", text));
    }
    roots.push_back(platform::path_from_utf8(text));
  }
  return roots;
}

bool is_declared_type(const std::vector<TypeDef>& types, std::string_view name) {
  // The list is in byte order of names, as std::string compares.
  const auto it = std::lower_bound(
      types.begin(), types.end(), name,
      [](const TypeDef& type, std::string_view wanted) { return type.name < wanted; });
  return it != types.end() && it->name == name;
}

Result<std::vector<Requirement>> validate_requirements(std::vector<RawRequirement> raw,
                                                       const StageSet& stages,
                                                       const std::vector<std::string>& policy,
                                                       const std::vector<TypeDef>& types) {
  std::vector<Requirement> requirements;
  requirements.reserve(raw.size());
  // Views of the ids already validated, into `requirements`, which the reservation keeps in
  // place.
  std::unordered_set<std::string_view> seen_ids;
  seen_ids.reserve(raw.size());
  for (RawRequirement& entry : raw) {
    if (seen_ids.contains(entry.id)) {
      return manifest_error(fmt::format("duplicate requirement id '{}'", entry.id));
    }

    std::vector<std::string> required;
    if (entry.required_stages) {
      Status checked = check_stage_list(*entry.required_stages, stages, [&] {
        return fmt::format("requirements[{}].required_stages", entry.id);
      });
      if (!checked) return std::move(checked).take_failure();
      required = std::move(*entry.required_stages);
    } else {
      required = policy;
    }

    Priority priority = Priority::Must;
    if (entry.priority) {
      const std::optional<Priority> word = priority_from_word(*entry.priority);
      if (!word) {
        return manifest_error(fmt::format(
            "invalid priority '{}' in requirements[{}] (expected must, should, or could)",
            *entry.priority, entry.id));
      }
      priority = *word;
    }

    if (entry.type) {
      if (!is_type_name(*entry.type)) {
        return manifest_error(
            fmt::format("invalid type '{}' in requirements[{}] (expected [A-Z][A-Z0-9_-]*)",
                        *entry.type, entry.id));
      }
      if (!types.empty() && !is_declared_type(types, *entry.type)) {
        return manifest_error(
            fmt::format("unknown type '{}' in requirements[{}]", *entry.type, entry.id));
      }
    }

    requirements.push_back(Requirement{std::move(entry.id), std::move(entry.title),
                                       std::move(entry.type), std::move(required), priority});
    seen_ids.insert(requirements.back().id);
  }
  return requirements;
}

}  // namespace

bool is_type_name(std::string_view text) {
  if (text.empty() || text[0] < 'A' || text[0] > 'Z') return false;
  return std::all_of(text.begin() + 1, text.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
  });
}

Result<std::vector<Signoff>> validate_signoffs(std::vector<RawSignoff> signoffs,
                                               const std::vector<Requirement>& requirements,
                                               const StageSet& stages) {
  std::unordered_set<std::string_view> ids;
  ids.reserve(requirements.size());
  for (const Requirement& requirement : requirements) ids.insert(requirement.id);

  std::vector<Signoff> validated;
  validated.reserve(signoffs.size());
  for (std::size_t i = 0; i < signoffs.size(); ++i) {
    RawSignoff& signoff = signoffs[i];
    if (!ids.contains(signoff.requirement)) {
      return manifest_error(fmt::format("signoffs[{}] references undeclared requirement '{}'", i,
                                        signoff.requirement));
    }
    if (!stages.contains(signoff.stage)) {
      return manifest_error(fmt::format("signoffs[{}] uses invalid stage '{}'", i, signoff.stage));
    }
    if (is_blank(signoff.url)) return manifest_error(fmt::format("signoffs[{}] has empty url", i));
    validated.push_back(
        Signoff{std::move(signoff.requirement), std::move(signoff.stage), std::move(signoff.url)});
  }
  return validated;
}

Result<Manifest> load_manifest(const std::filesystem::path& root) {
  Result<std::string> text = read_manifest_text(root);
  if (!text) return std::move(text).take_failure();
  return load_manifest_text(root, text.value());
}

Result<std::string> read_manifest_text(const std::filesystem::path& root) {
  // Read to its end whatever kind of file it is: a manifest given through a FIFO is not there
  // yet when the run starts, and an empty read would be taken for an empty manifest.
  Result<std::string> text =
      platform::read_utf8_file(root / kManifestFileName, platform::FifoReading::WaitForTheWriter);
  if (!text) return manifest_error(fmt::format("cannot read quorvane.toml ({})", text.error()));
  return text;
}

Result<Manifest> load_manifest_text(const std::filesystem::path& root, std::string_view text) {
  Result<RawManifest> parsed = read_raw_manifest(text);
  if (!parsed)
    return manifest_error(fmt::format("cannot parse quorvane.toml ({})", parsed.error()));
  RawManifest& raw = parsed.value();

  // Every custom stage is judged before any type, wherever the tables stand in the file.
  Result<std::vector<StageDef>> custom_stages = validate_custom_stages(std::move(raw.stages));
  if (!custom_stages) return std::move(custom_stages).take_failure();
  Result<std::vector<TypeDef>> types = validate_types(std::move(raw.types));
  if (!types) return std::move(types).take_failure();

  const StageSet stages = all_stages(custom_stages.value());
  Result<std::vector<std::string>> policy = policy_stages(raw.policy, stages);
  if (!policy) return std::move(policy).take_failure();

  Result<std::vector<std::filesystem::path>> scan_roots = validate_scan_roots(root, raw.scan);
  if (!scan_roots) return std::move(scan_roots).take_failure();

  Result<std::vector<Requirement>> requirements =
      validate_requirements(std::move(raw.requirements), stages, policy.value(), types.value());
  if (!requirements) return std::move(requirements).take_failure();

  Result<std::vector<Signoff>> signoffs =
      validate_signoffs(std::move(raw.signoffs), requirements.value(), stages);
  if (!signoffs) return std::move(signoffs).take_failure();

  return Manifest{std::move(scan_roots).value(), std::move(requirements).value(),
                  std::move(types).value(), std::move(custom_stages).value(),
                  std::move(signoffs).value()};
}

}  // namespace quorvane
