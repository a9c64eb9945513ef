#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
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

// Buffers reused from line to line of a file, so recognition allocates only for records.
struct TagScratch {
  std::vector<std::string_view> candidates;
  std::vector<StageAndId> recorded;  // pairs already recorded on the current line
};

// Recognition of one line's segments; appends Tag and ParseError records to `result`.
void recognize_line(const std::vector<Segment>& segments, std::uint64_t line_number,
                    const std::string& record_path, const StageSet& stages, TagScratch& scratch,
                    ScanResult& result);

// The same with buffers of its own.
void recognize_line(const std::vector<Segment>& segments, std::uint64_t line_number,
                    const std::string& record_path, const StageSet& stages, ScanResult& result);

}  // namespace quorvane
