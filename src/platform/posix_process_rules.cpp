#include "platform/posix_process_rules.hpp"

#include "platform/separated_list.hpp"

namespace quorvane::platform::posix {

bool names_a_path(std::string_view program) {
  return program.find('/') != std::string_view::npos;
}

std::vector<std::string> path_candidates(std::string_view name, std::string_view path) {
  if (name.empty()) return {};
  std::vector<std::string> candidates;
  for (const std::string_view folder : separated_parts(path, ':')) {
    if (!folder.starts_with('/')) continue;
    std::string candidate(folder);
    if (!candidate.ends_with('/')) candidate += '/';
    candidate += name;
    candidates.push_back(std::move(candidate));
  }
  return candidates;
}

}  // namespace quorvane::platform::posix
