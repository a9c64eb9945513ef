#pragma once

#include <filesystem>
#include <string>
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

// The two halves of load_manifest, for a caller that needs the text as well. The text is read
// to its end whatever kind of file it is (a FIFO waits for its writer); the validation reads
// nothing but `text` and, for the scan roots, the file system below `root`.
Result<std::string> read_manifest_text(const std::filesystem::path& root);
Result<Manifest> load_manifest_text(const std::filesystem::path& root, std::string_view text);

Result<std::vector<Signoff>> validate_signoffs(std::vector<RawSignoff> signoffs,
                                               const std::vector<Requirement>& requirements,
                                               const StageSet& stages);

// [A-Z][A-Z0-9_-]*
bool is_type_name(std::string_view text);

}  // namespace quorvane
