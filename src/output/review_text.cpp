#include "output/review_text.hpp"

#include <iterator>

#include <fmt/format.h>

#include "output/trace_text.hpp"

namespace quorvane {

namespace {

std::string queued_suffix(std::uint64_t item_count, std::string_view noun) {
  if (item_count == 0) return {};
  return fmt::format("; {} {}{} queued for agent review", item_count, noun,
                     item_count == 1 ? "" : "s");
}

}  // namespace

std::string render_review_text(std::string_view label, const std::vector<Finding>& findings,
                               std::uint64_t item_count, std::string_view noun,
                               std::string_view prompt) {
  const std::string suffix = queued_suffix(item_count, noun);
  std::string out;
  if (findings.empty()) {
    fmt::format_to(std::back_inserter(out), "{}: no deterministic findings{}.\n\n", label, suffix);
  } else {
    fmt::format_to(std::back_inserter(out), "{} findings ({}){}:\n", label, findings.size(),
                   suffix);
    for (const Finding& finding : findings) append_finding_line(out, "  ", finding);
    out.push_back('\n');
  }
  out.append(prompt);
  return out;
}

}  // namespace quorvane
