#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "manifest/priority.hpp"

namespace quorvane {

struct FileEvidence {
  std::string path;  // record path
  std::uint64_t line = 0;
  friend bool operator==(const FileEvidence&, const FileEvidence&) = default;
};

struct SignoffEvidence {
  std::string url;  // untrimmed, as written in the manifest
  friend bool operator==(const SignoffEvidence&, const SignoffEvidence&) = default;
};

// Every File entry orders before every Signoff entry (variant index order).
using Evidence = std::variant<FileEvidence, SignoffEvidence>;

// Evidence order: File by path then line, then Signoff by url.
bool evidence_less(const Evidence& a, const Evidence& b);

struct StageState {
  std::vector<Evidence> evidence;  // free of duplicates, sorted
  bool complete = false;           // evidence was not empty when the trace was built
};

struct RequirementState {
  std::string id;
  std::optional<std::string> title;
  std::optional<std::string> type;
  std::vector<std::string> required_stages;
  std::map<std::string, StageState> stages;  // every known stage, byte order of name
};

// Every required stage present and complete; no required stage means complete.
bool is_complete(const RequirementState& state);

struct Finding {
  std::string code;
  Priority severity = Priority::Must;
  std::optional<std::string> requirement_id;
  std::optional<std::string> stage;
  std::optional<std::string> criterion;
  std::optional<std::string> path;
  std::optional<std::uint64_t> line;
  std::string message;
};

// Finding order: code, requirement_id, path, line, stage; absent before present.
bool finding_less(const Finding& a, const Finding& b);

struct TraceResult {
  std::vector<RequirementState> requirements;  // sorted by id
  std::vector<Finding> findings;               // finding order
  std::vector<std::string> stages;             // ordered stage list
};

}  // namespace quorvane
