#include "main/root_aliases.hpp"

#include <algorithm>
#include <optional>
#include <string_view>

#include "platform/files.hpp"
#include "platform/scan_root.hpp"
#include "scan/scanner.hpp"

namespace quorvane {
namespace {

// The part of `path` below `prefix`, by whole components: "" for the prefix itself, none when
// `path` does not lie below it. The empty prefix is the project, which holds every path.
std::optional<std::string_view> below(std::string_view path, std::string_view prefix) {
  if (prefix.empty()) return path;
  if (!path.starts_with(prefix)) return std::nullopt;
  if (path.size() == prefix.size()) return std::string_view();
  if (path[prefix.size()] != '/') return std::nullopt;
  return path.substr(prefix.size() + 1);
}

std::string joined(std::string_view base, std::string_view rest) {
  if (base.empty()) return std::string(rest);
  if (rest.empty()) return std::string(base);
  std::string out(base);
  out += '/';
  out += rest;
  return out;
}

}  // namespace

std::vector<RootAlias> root_aliases(const std::filesystem::path& project,
                                    const std::vector<std::filesystem::path>& scan_roots) {
  std::vector<RootAlias> aliases;
  const Result<std::filesystem::path> real_project = platform::canonical_path(project);
  if (!real_project) return aliases;
  for (const std::filesystem::path& scan_root : scan_roots) {
    // The start of the walk, as the scan forms it, gives the prefix of the root's records.
    const std::filesystem::path start = platform::scan_root_start(project, scan_root);
    const Result<std::filesystem::path> real_start = platform::canonical_path(start);
    if (!real_start ||
        !platform::starts_with_components(real_start.value(), real_project.value())) {
      continue;
    }
    RootAlias alias{record_path(project, start),
                    record_path(real_project.value(), real_start.value())};
    if (alias.record_prefix != alias.real_path) aliases.push_back(std::move(alias));
  }
  return aliases;
}

ChangedLines under_record_paths(ChangedLines changed, const std::vector<RootAlias>& aliases) {
  if (aliases.empty()) return changed;
  ChangedLines out;
  for (const auto& [path, lines] : changed) {
    const bool aliased = std::any_of(aliases.begin(), aliases.end(), [&](const RootAlias& alias) {
      return below(path, alias.record_prefix).has_value();
    });
    if (!aliased) out.emplace(path, lines);
  }
  for (const RootAlias& alias : aliases) {
    for (const auto& [path, lines] : changed) {
      if (const std::optional<std::string_view> rest = below(path, alias.real_path)) {
        out.insert_or_assign(joined(alias.record_prefix, *rest), lines);
      }
    }
  }
  return out;
}

}  // namespace quorvane
