#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "manifest/stages.hpp"
#include "scan/comments.hpp"
#include "scan/records.hpp"

namespace quorvane {

using StageAndId = std::pair<std::string_view, std::string_view>;

// The candidates of one segment, in order of position (views into the segment); `out` is cleared
// first.
void tag_candidates(std::string_view segment, std::vector<std::string_view>& out);

// The candidate test on the text between a "[" and its "]": an arrow whose left side, trimmed,
// is stage-shaped.
bool is_candidate(std::string_view content);

// (stage, id) of a well-formed candidate, or nullopt for a malformed one.
std::optional<StageAndId> check_candidate(std::string_view candidate, const StageSet& stages);

bool is_stage_shaped(std::string_view text);
bool is_tag_id(std::string_view text);

// The (stage, id) pairs already recorded on one line. Most lines hold a tag or two, looked for in
// a short list; once a line holds more, they are looked up in a hash set, so that a line of many
// tags costs time in proportion to their number.
class LinePairs {
 public:
  // True when `pair` was not yet on the line; it is then remembered.
  bool insert(const StageAndId& pair);
  // Forgets every pair; a set grown for one long line is let go, so that the lines after it do
  // not pay for emptying it.
  void clear();

 private:
  struct Hash {
    std::size_t operator()(const StageAndId& pair) const noexcept;
  };
  static constexpr std::size_t kListLimit = 16;
  std::vector<StageAndId> list_;
  std::unordered_set<StageAndId, Hash> set_;
  bool hashed_ = false;
};

// Buffers reused from line to line of a file, so recognition allocates only for records.
struct TagScratch {
  std::vector<std::string_view> candidates;
  LinePairs recorded;  // pairs already recorded on the current line
};

// Recognition of one line's segments; appends Tag and ParseError records to `result`.
void recognize_line(const std::vector<Segment>& segments, std::uint64_t line_number,
                    const std::string& record_path, const StageSet& stages, TagScratch& scratch,
                    ScanResult& result);

// The same with buffers of its own.
void recognize_line(const std::vector<Segment>& segments, std::uint64_t line_number,
                    const std::string& record_path, const StageSet& stages, ScanResult& result);

}  // namespace quorvane
