#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include "manifest/model.hpp"
#include "manifest/schema.hpp"
#include "manifest/stages.hpp"
#include "support/result.hpp"

namespace quorvane {

inline constexpr std::string_view kManifestFileName = "quorvane.toml";

// Reads and validates root/quorvane.toml; the first failing check gives one "manifest_error: "
// message.
Result<Manifest> load_manifest(const std::filesystem::path& root);

Result<std::vector<Signoff>> validate_signoffs(std::vector<RawSignoff> signoffs,
                                               const std::vector<Requirement>& requirements,
                                               const StageSet& stages);

// [A-Z][A-Z0-9_-]*
bool is_type_name(std::string_view text);

}  // namespace quorvane
