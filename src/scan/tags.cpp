#include "scan/tags.hpp"

#include <algorithm>
#include <cstring>

#include "platform/memory.hpp"
#include "support/text.hpp"

namespace quorvane {
namespace {

constexpr std::string_view kArrow = "->";
constexpr std::string_view kIdPrefix = "REQ-";

bool is_lower_letter(char c) {
  return c >= 'a' && c <= 'z';
}
bool is_digit(char c) {
  return c >= '0' && c <= '9';
}
bool is_upper_or_digit(char c) {
  return (c >= 'A' && c <= 'Z') || is_digit(c);
}

bool is_ascii_whitespace(unsigned char c) {
  return c == ' ' || (c >= 0x09 && c <= 0x0D);
}

bool contains_whitespace(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
      if (is_ascii_whitespace(byte)) return true;
      ++pos;
      continue;
    }
    const std::optional<char32_t> c = decode_utf8_at(text, pos);
    if (c && is_unicode_whitespace(*c)) return true;
  }
  return false;
}

// Position of the first "[" or "]" at or after `from`, or npos.
std::size_t find_bracket(std::string_view text, std::size_t from) {
  for (std::size_t i = from; i < text.size(); ++i) {
    if (text[i] == '[' || text[i] == ']') return i;
  }
  return std::string_view::npos;
}

}  // namespace

bool is_stage_shaped(std::string_view text) {
  if (text.empty() || !is_lower_letter(text.front())) return false;
  return std::all_of(text.begin() + 1, text.end(), [](char c) {
    return is_lower_letter(c) || is_digit(c) || c == '_' || c == '-';
  });
}

bool is_tag_id(std::string_view text) {
  if (text.size() <= kIdPrefix.size() || !text.starts_with(kIdPrefix)) return false;
  bool after_letter_or_digit = false;
  for (const char c : text.substr(kIdPrefix.size())) {
    if (c == '-') {
      if (!after_letter_or_digit) return false;
      after_letter_or_digit = false;
    } else if (is_upper_or_digit(c)) {
      after_letter_or_digit = true;
    } else {
      return false;
    }
  }
  return after_letter_or_digit;
}

bool is_candidate(std::string_view content) {
  const std::size_t arrow = content.find(kArrow);
  if (arrow == std::string_view::npos) return false;
  return is_stage_shaped(trim_unicode_whitespace(content.substr(0, arrow)));
}

void tag_candidates(std::string_view segment, std::vector<std::string_view>& out) {
  out.clear();
  std::size_t open = segment.find('[');
  while (open != std::string_view::npos) {
    const std::size_t bracket = find_bracket(segment, open + 1);
    if (bracket == std::string_view::npos) return;
    if (segment[bracket] == '[') {
      open = bracket;  // the nearer opening bracket is the one that counts
      continue;
    }
    const std::string_view content = segment.substr(open + 1, bracket - open - 1);
    if (is_candidate(content)) out.push_back(content);
    open = segment.find('[', bracket + 1);
  }
}

std::optional<StageAndId> check_candidate(std::string_view candidate, const StageSet& stages) {
  if (contains_whitespace(candidate)) return std::nullopt;
  const std::size_t arrow = candidate.find(kArrow);
  if (arrow == std::string_view::npos) return std::nullopt;
  const std::string_view stage = candidate.substr(0, arrow);
  const std::string_view id = candidate.substr(arrow + kArrow.size());
  if (id.find(kArrow) != std::string_view::npos) return std::nullopt;
  if (stages.find(stage) == stages.end()) return std::nullopt;
  if (!is_tag_id(id)) return std::nullopt;
  return StageAndId{stage, id};
}

std::size_t LinePairs::Hash::operator()(const StageAndId& pair) const noexcept {
  const std::hash<std::string_view> hash;
  return hash(pair.first) * 31 + hash(pair.second);
}

bool LinePairs::insert(const StageAndId& pair) {
  if (hashed_) return set_.insert(pair).second;
  if (std::find(list_.begin(), list_.end(), pair) != list_.end()) return false;
  if (list_.size() < kListLimit) {
    list_.push_back(pair);
    return true;
  }
  set_.reserve(2 * kListLimit);
  set_.insert(list_.begin(), list_.end());
  list_.clear();
  hashed_ = true;
  return set_.insert(pair).second;
}

void LinePairs::clear() {
  list_.clear();
  if (hashed_) {
    std::unordered_set<StageAndId, Hash>().swap(set_);  // its buckets go too
    hashed_ = false;
  }
}

void recognize_line(const std::vector<Segment>& segments, std::uint64_t line_number,
                    const std::string& record_path, const StageSet& stages, TagScratch& scratch,
                    ScanResult& result) {
  scratch.recorded.clear();
  bool parse_error_recorded = false;
  for (const Segment segment : segments) {
    // Most comment text holds no bracket at all.
    if (std::memchr(segment.data(), '[', segment.size()) == nullptr) continue;
    tag_candidates(segment, scratch.candidates);
    for (const std::string_view candidate : scratch.candidates) {
      const std::optional<StageAndId> pair = check_candidate(candidate, stages);
      if (!pair) {
        if (!parse_error_recorded) {
          result.parse_errors.push_back(ParseError{record_path, line_number});
          parse_error_recorded = true;
        }
        continue;
      }
      if (!scratch.recorded.insert(*pair)) continue;
      // A large tree has hundreds of thousands of tags.
      platform::grow_with_huge_pages(result.tags);
      result.tags.push_back(
          Tag{std::string(pair->first), std::string(pair->second), record_path, line_number});
    }
  }
}

void recognize_line(const std::vector<Segment>& segments, std::uint64_t line_number,
                    const std::string& record_path, const StageSet& stages, ScanResult& result) {
  TagScratch scratch;
  recognize_line(segments, line_number, record_path, stages, scratch, result);
}

}  // namespace quorvane
