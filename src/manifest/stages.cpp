#include "manifest/stages.hpp"

#include <algorithm>

namespace quorvane {

StageSet all_stages(const std::vector<StageDef>& custom_stages) {
  StageSet stages;
  stages.reserve(kBuiltinStages.size() + custom_stages.size());
  for (std::string_view name : kBuiltinStages) stages.emplace(name);
  for (const StageDef& stage : custom_stages) stages.insert(stage.name);
  return stages;
}

StageSet stage_set(const Manifest& manifest) {
  return all_stages(manifest.stages);
}

std::vector<std::string> ordered_stages(const Manifest& manifest) {
  std::vector<std::string> custom;
  custom.reserve(manifest.stages.size());
  for (const StageDef& stage : manifest.stages) custom.push_back(stage.name);
  // std::string compares by unsigned bytes, a proper prefix first.
  std::stable_sort(custom.begin(), custom.end());

  std::vector<std::string> ordered(kBuiltinStages.begin(), kBuiltinStages.end());
  ordered.insert(ordered.end(), std::make_move_iterator(custom.begin()),
                 std::make_move_iterator(custom.end()));
  return ordered;
}

}  // namespace quorvane
