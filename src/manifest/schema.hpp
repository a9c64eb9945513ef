#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/result.hpp"

namespace quorvane {

// Records that mirror quorvane.toml key for key, holding what it says without judging it.

struct RawScan {
  std::optional<std::vector<std::string>> roots;
};
struct RawPolicy {
  std::optional<std::vector<std::string>> required_stages;
};
struct RawRequirement {
  std::string id;
  std::optional<std::string> title;
  std::optional<std::string> type;
  std::optional<std::vector<std::string>> required_stages;
  std::optional<std::string> priority;
};
struct RawTypeDef {
  std::optional<std::string> description;
};
struct RawStageDef {
  std::optional<std::string> description;
};
struct RawSignoff {
  std::string requirement;
  std::string stage;
  std::string url;
};
struct RawManifest {
  std::optional<RawScan> scan;
  std::optional<RawPolicy> policy;
  std::vector<RawRequirement> requirements;
  std::map<std::string, RawTypeDef> types;    // ordered by name (byte order)
  std::map<std::string, RawStageDef> stages;  // ordered by name (byte order)
  std::vector<RawSignoff> signoffs;
};

// The reduced reading used by the change detection: ids and titles only.
struct Req {
  std::string id;
  std::optional<std::string> title;
};
struct Raw {
  std::vector<Req> requirements;
};

// Parse `text` as TOML and map it. The failure message is the rendered report
// ("TOML parse error at line L, column C\n..."), ending with a line break.
Result<RawManifest> read_raw_manifest(std::string_view text);
Result<Raw> read_raw(std::string_view text);

}  // namespace quorvane
