// Runs whose subsystems are not built yet say so instead of pretending to work.
#include "main/runs.hpp"

namespace quorvane {
namespace {
Failure not_built(const char* name) {
  return Failure{std::string("quorvane ") + name + ": not built yet"};
}
}  // namespace

RunContext build_run_context(const std::filesystem::path&) { return not_built("run context"); }
RunOutcome run_list(const ListCommand&, const RunContext&) { return not_built("list"); }
RunOutcome run_check(const CheckCommand&, const RunContext&) { return not_built("check"); }
RunOutcome run_trace(const TraceCommand&, const RunContext&) { return not_built("trace"); }
RunOutcome run_lint(const LintCommand&, const std::filesystem::path&) { return not_built("lint"); }
RunOutcome run_review(const ReviewCommand&, const std::filesystem::path&, RunContext&) {
  return not_built("review");
}

}  // namespace quorvane
