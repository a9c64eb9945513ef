#include "cli/similar_name.hpp"

#include <algorithm>
#include <cstddef>

namespace quorvane {
namespace {

// Below this a "suggestion" is mostly noise: "test" against "list" scores 0.67, "lis" 0.94.
constexpr double kSuggestionThreshold = 0.8;

double jaro(std::string_view a, std::string_view b) {
  if (a.empty() && b.empty()) return 1.0;
  if (a.empty() || b.empty()) return 0.0;
  const std::size_t window =
      std::max(a.size(), b.size()) / 2 > 0 ? std::max(a.size(), b.size()) / 2 - 1 : 0;
  std::vector<bool> a_matched(a.size(), false);
  std::vector<bool> b_matched(b.size(), false);
  std::size_t matches = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const std::size_t from = i > window ? i - window : 0;
    const std::size_t to = std::min(b.size(), i + window + 1);
    for (std::size_t j = from; j < to; ++j) {
      if (b_matched[j] || a[i] != b[j]) continue;
      a_matched[i] = b_matched[j] = true;
      ++matches;
      break;
    }
  }
  if (matches == 0) return 0.0;
  std::size_t half_transpositions = 0;
  std::size_t j = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!a_matched[i]) continue;
    while (!b_matched[j]) ++j;
    if (a[i] != b[j]) ++half_transpositions;
    ++j;
  }
  const double m = static_cast<double>(matches);
  const double t = static_cast<double>(half_transpositions / 2);
  return (m / static_cast<double>(a.size()) + m / static_cast<double>(b.size()) + (m - t) / m) /
         3.0;
}

}  // namespace

double jaro_winkler(std::string_view a, std::string_view b) {
  const double similarity = jaro(a, b);
  std::size_t prefix = 0;
  while (prefix < 4 && prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix]) ++prefix;
  return similarity + static_cast<double>(prefix) * 0.1 * (1.0 - similarity);
}

std::optional<std::string> most_similar_name(std::string_view typed,
                                             const std::vector<std::string>& candidates) {
  std::optional<std::string> best;
  double best_score = kSuggestionThreshold;
  for (const std::string& candidate : candidates) {
    const double score = jaro_winkler(typed, candidate);
    if (score > best_score) {
      best_score = score;
      best = candidate;
    }
  }
  return best;
}

}  // namespace quorvane
