#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "manifest/stages.hpp"
#include "scan/comment_style.hpp"
#include "scan/records.hpp"

namespace quorvane {

// Walks every scan root and records tags, malformed tags and unreadable entries; never fails.
ScanResult scan_tree(const std::filesystem::path& root,
                     const std::vector<std::filesystem::path>& scan_roots, const StageSet& stages);

// Splits `text` into lines and scans them with a fresh comment state.
void scan_file(std::string_view text, CommentStyle style, const std::string& record_path,
               const StageSet& stages, ScanResult& result);

// `path` relative to `root` by components, "/" between components, "." and empty components
// dropped, names decoded as UTF-8 with U+FFFD for invalid sequences.
std::string record_path(const std::filesystem::path& root, const std::filesystem::path& path);

}  // namespace quorvane
