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

// The candidates of one segment, in order of position (views into the segment).
void tag_candidates(std::string_view segment, std::vector<std::string_view>& out);

// (stage, id) of a well-formed candidate, or nullopt for a malformed one.
std::optional<std::pair<std::string_view, std::string_view>> check_candidate(
    std::string_view candidate, const StageSet& stages);

bool is_stage_shaped(std::string_view text);
bool is_tag_id(std::string_view text);

// Recognition of one line's segments; appends Tag and ParseError records to `result`.
void recognize_line(const std::vector<Segment>& segments, std::uint64_t line_number,
                    const std::string& record_path, const StageSet& stages, ScanResult& result);

}  // namespace quorvane
