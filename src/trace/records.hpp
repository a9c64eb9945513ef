#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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
  friend bool operator==(const StageState&, const StageState&) = default;
};

// The stage states of one requirement by stage name, in byte order of the names, with the
// interface of an ordered map. The entries are held in one sorted list: a requirement has a
// handful of stages and a trace has one such map per requirement, so tree nodes would cost an
// allocation per stage. Names must not be changed through an iterator.
class StageMap {
 public:
  using value_type = std::pair<std::string, StageState>;
  using iterator = std::vector<value_type>::iterator;
  using const_iterator = std::vector<value_type>::const_iterator;

  iterator begin() { return entries_.begin(); }
  iterator end() { return entries_.end(); }
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }
  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  void reserve(std::size_t count) { entries_.reserve(count); }

  iterator find(std::string_view name) {
    const iterator it = lower_bound(name);
    return it != end() && it->first == name ? it : end();
  }
  const_iterator find(std::string_view name) const {
    return const_cast<StageMap&>(*this).find(name);
  }

  // Adds the entry unless the name has one; the entry of the name and whether it was added.
  std::pair<iterator, bool> emplace(std::string name, StageState state) {
    const iterator it = lower_bound(name);
    if (it != end() && it->first == name) return {it, false};
    return {entries_.emplace(it, std::move(name), std::move(state)), true};
  }

  friend bool operator==(const StageMap&, const StageMap&) = default;

 private:
  iterator lower_bound(std::string_view name) {
    // Entries come in order of name, so most insertions append.
    if (entries_.empty() || std::string_view(entries_.back().first) < name) return end();
    return std::lower_bound(entries_.begin(), entries_.end(), name,
                            [](const value_type& entry, std::string_view wanted) {
                              return std::string_view(entry.first) < wanted;
                            });
  }

  std::vector<value_type> entries_;
};

struct RequirementState {
  std::string id;
  std::optional<std::string> title;
  std::optional<std::string> type;
  std::vector<std::string> required_stages;
  StageMap stages;  // every known stage, byte order of name
};

// Every required stage present and complete; no required stage means complete.
bool is_complete(const RequirementState& state);

// What a finding reports. Finding order compares codes by the bytes of their words, so the
// enumerators are declared in that order.
enum class FindingCode : std::uint8_t {
  MissingStage,
  ParseError,
  RequirementQuality,
  ScanError,
  UndeclaredId,
};

// The word that reports write for a code: lower case with underscores.
constexpr std::string_view finding_code_word(FindingCode code) {
  switch (code) {
    case FindingCode::MissingStage:
      return "missing_stage";
    case FindingCode::ParseError:
      return "parse_error";
    case FindingCode::RequirementQuality:
      return "requirement_quality";
    case FindingCode::ScanError:
      return "scan_error";
    case FindingCode::UndeclaredId:
      break;
  }
  return "undeclared_id";
}

struct Finding {
  FindingCode code = FindingCode::MissingStage;
  Priority severity = Priority::Must;
  std::optional<std::string> requirement_id;
  std::optional<std::string> stage;
  std::optional<std::string> criterion;
  std::optional<std::string> path;
  std::optional<std::uint64_t> line;
  std::string message;
};

// Finding order: code (by its word's bytes), requirement_id, path, line, stage; absent before
// present.
bool finding_less(const Finding& a, const Finding& b);

struct TraceResult {
  std::vector<RequirementState> requirements;  // sorted by id
  std::vector<Finding> findings;               // finding order
  std::vector<std::string> stages;             // ordered stage list
};

}  // namespace quorvane
